// The demo: a scripted, seeded session of the plug-in in the simulated game, played at full
// speed. At each key moment it prints the plug-in's screen as drawn and a map of the world; the
// log follows at the end. The session: the activation key away from the start (teleport), a run
// started with its sweep, enemies spawning and closing in, kills, a sandbag placed, turned and
// set down, a mounted weapon placed, the last object deleted, the player's death and the
// summary.
#include "demo.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>

#include "core/sim_host.h"
#include "runtime/script.h"
#include "settings/settings.h"
#include "spawner/placement.h"
#include "survival/run.h"
#include "tool_session.h"
#include "views.h"

namespace {

constexpr int ScreenWidth = 78;
constexpr int ScreenHeight = 30;
constexpr int MapWidth = 61;
constexpr int MapHeight = 19;
constexpr float MapMetresPerColumn = 3.0f;
constexpr float ShotRange = 45.0f;
// The player is sturdy while the scripted moments play, and ordinary once it gives up.
constexpr std::int32_t ScriptedPlayerHealth = 100000;
constexpr std::int32_t OrdinaryPlayerHealth = 200;
constexpr std::uint32_t FramesPerShot = 25;

struct DemoOptions {
  SessionOptions session;
  std::uint32_t fightSeconds = 40;
  bool trace = false;
};

void PrintUsage() {
  std::printf(
      "usage: holdout demo [--seed N] [--ini PATH] [--fight SECONDS] [--trace]\n"
      "\n"
      "Plays a scripted session of Holdout in the simulated game at full speed and prints\n"
      "the plug-in's screen and a map of the world at each key moment, then the log.\n"
      "  --seed N          the world's random seed (default 7): same seed, same session\n"
      "  --ini PATH        use this settings file instead of the defaults\n"
      "  --fight SECONDS   how long the player fights back before giving up (default 40)\n"
      "  --trace           also print every native call, frame by frame\n");
}

// The printable name and argument words of every native call of one frame.
void PrintTrace(sim::SimHost& host, std::uint32_t frame) {
  for (const sim::RecordedCall& call : host.Calls().CallsInFrame(frame)) {
    std::string words;
    for (const std::uint64_t word : call.args) {
      char text[24];
      std::snprintf(text, sizeof text, "%s0x%" PRIx64, words.empty() ? "" : ", ", word);
      words += text;
    }
    std::printf("  [%" PRIu32 "] %s(%s)\n", frame, host.Natives().NameOf(call.hash).c_str(),
                words.c_str());
  }
}

class DemoSession {
 public:
  DemoSession(const DemoOptions& options, sim::ScratchDirectory directory)
      : options_(options),
        session_(options.session, {2940.0f, -980.0f, 52.0f}, std::move(directory)),
        host_(session_.Host()) {
    host_.SetTickCount(3600000u + static_cast<std::uint32_t>(options_.session.seed % 100000));
  }

  int Play() {
    sim::World& world = host_.GetWorld();
    world.player.health = ScriptedPlayerHealth;
    AddBystanders();
    host_.Load(&DllMain);
    Frames(30);
    Moment("The player stands far from the arena");

    Tap(settings.ActivateMod);
    Frames(5);
    Moment("Activation key away from the start: the player is moved to the starting position");

    Tap(settings.ActivateMod);
    Frames(10);
    Moment(
        "Run started: the start sound, the bystanders swept away (one per frame), the "
        "player's companions kept");

    FightFor(6);
    Moment("Enemies spawn at the two points and close in");

    FightFor(8);
    Moment("The player fights back: every death is counted when its slot comes round");

    PlaceSandbag();
    PlaceMountedWeapon();
    DeleteLastObject();

    FightFor(options_.fightSeconds > 14 ? options_.fightSeconds - 14 : 0);
    Moment("Still holding out");

    world.player.health = OrdinaryPlayerHealth;
    while (runState.runActive && host_.Frame() < 2000000) {
      Frames(1);
    }
    Frames(1);
    Moment("The player falls: the run ends, its enemies are deleted, the summary shows");

    std::printf("\nHoldout.log:\n");
    std::ifstream log(session_.Directory() / "Holdout.log");
    std::string line;
    while (std::getline(log, line)) {
      std::printf("  %s\n", line.c_str());
    }
    for (const std::string& fault : host_.Faults()) {
      std::printf("fault: %s\n", fault.c_str());
    }
    return host_.Faults().empty() ? 0 : 1;
  }

 private:
  void AddBystanders() {
    sim::World& world = host_.GetWorld();
    const Vector3 start = settings.PlayerStartingPosition;
    for (int i = 0; i < 6; ++i) {
      sim::Ped bystander;
      bystander.position = {start.x + 12.0f * static_cast<float>(i % 3) - 12.0f,
                            start.y + (i < 3 ? 15.0f : -15.0f), start.z};
      world.AddPed(bystander);
    }
    for (int i = 0; i < 2; ++i) {
      sim::Ped companion;
      companion.group = world.player.group;
      companion.position = {start.x + 4.0f, start.y + 3.0f * static_cast<float>(i), start.z};
      world.AddPed(companion);
    }
  }

  void Frames(std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
      host_.RunFrame();
      if (options_.trace) {
        PrintTrace(host_, host_.Frame());
      }
    }
  }

  // A press and release, then a few frames: the table keeps one release per key, so a second
  // tap before the script has looked would replace the first.
  void Tap(std::uint32_t key) {
    host_.TapKey(key);
    Frames(4);
  }

  // Holds `key` down for `frames` frames, with the keyboard's repeats, then lets it go.
  void Hold(std::uint32_t key, std::uint32_t frames) {
    host_.PressKey(key);
    for (std::uint32_t i = 0; i < frames; ++i) {
      Frames(1);
      if (i % 2 == 1) {
        host_.RepeatKey(key);
      }
    }
    host_.ReleaseKey(key);
    Frames(1);
  }

  // Runs frames while the player shoots the nearest attacker in range a few times a second.
  void FightFor(std::uint32_t seconds) {
    const std::uint32_t frames = seconds * 1000 / host_.FrameDuration();
    for (std::uint32_t i = 0; i < frames && runState.runActive; ++i) {
      Frames(1);
      if (i % FramesPerShot == FramesPerShot - 1) {
        ShootNearestAttacker(host_.GetWorld(), ShotRange);
      }
    }
  }

  // Opens the menu on `page` (1..3) with the spawner key from a closed menu.
  void OpenMenuPage(int page) {
    for (int i = 0; i < page; ++i) {
      Tap(settings.SpawnerMenu);
    }
  }

  void PlaceSandbag() {
    OpenMenuPage(2);
    Moment("Spawner key twice: the COVER menu");
    Tap(settings.MenuSelectFour);
    Frames(3);
    Moment("Row 4 picked: a sandbag held 4 m out in the view direction, the player held still");
    Hold(settings.RotateObject, 45);
    char title[96];
    std::snprintf(title, sizeof title, "Rotate key held: the sandbag turned to %d degrees",
                  placementState.placingHeading);
    Moment(title);
    Hold(settings.ConfirmObject, 2);
    Moment("Confirm key: the sandbag is set down, the player can move again");
  }

  void PlaceMountedWeapon() {
    OpenMenuPage(3);
    Moment("Spawner key three times: the MOUNTED WEAPONS menu");
    host_.GetWorld().viewHeading = 90.0f;
    Tap(settings.MenuSelectOne);
    Frames(4);
    Moment("Row 1 picked, view turned 90 degrees: a gatling gun held to the player's left");
    Hold(settings.ConfirmObject, 2);
    host_.GetWorld().viewHeading = 0.0f;
    Moment("Confirm key: the gatling gun is set down");
  }

  void DeleteLastObject() {
    OpenMenuPage(1);
    Moment("Spawner key once: the EXPLOSIVES menu with its delete row");
    Tap(settings.MenuSelectSeven);
    Frames(1);
    Moment("Row 7 picked: the last object set down (the gatling gun) is deleted");
  }

  void Moment(const char* title) {
    const std::uint32_t frame = host_.Frame();
    const double seconds = static_cast<double>(frame) * host_.FrameDuration() / 1000.0;
    std::printf("\n== %.1f s, frame %" PRIu32 ": %s\n", seconds, frame, title);
    const std::vector<sim::DrawnText> texts = host_.Screen().TextsInFrame(frame);
    const std::vector<sim::DrawnBox> boxes = host_.Screen().BoxesInFrame(frame);
    if (texts.empty() && boxes.empty()) {
      std::printf("(the plug-in draws nothing on screen)\n");
    } else {
      std::fputs(RenderScreen(texts, boxes, ScreenWidth, ScreenHeight).Framed("screen").c_str(),
                 stdout);
    }
    std::fputs(RenderWorld(host_.GetWorld(), MapMetresPerColumn, MapWidth, MapHeight)
                   .Framed("world, north up, 3 m a column")
                   .c_str(),
               stdout);
    std::printf("  %s\n", WorldLegend());
    host_.Screen().Clear();
  }

  DemoOptions options_;
  ToolSession session_;
  sim::SimHost& host_;
};

bool ParseOptions(int argc, char** argv, DemoOptions& options) {
  for (int i = 0; i < argc; ++i) {
    const std::string option = argv[i];
    const bool hasValue = i + 1 < argc;
    if (TakeSessionOption(argc, argv, i, options.session)) {
      continue;
    }
    if (option == "--fight" && hasValue) {
      options.fightSeconds = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    } else if (option == "--trace") {
      options.trace = true;
    } else {
      std::fprintf(stderr, "demo: unknown option '%s' (see 'holdout demo --help')\n", argv[i]);
      return false;
    }
  }
  return true;
}

}  // namespace

int RunDemo(int argc, char** argv) {
  if (argc > 0 && std::strcmp(argv[0], "--help") == 0) {
    PrintUsage();
    return 0;
  }
  DemoOptions options;
  if (!ParseOptions(argc, argv, options)) {
    return 2;
  }
  if (const int problem = CheckSessionOptions("demo", options.session); problem != 0) {
    return problem;
  }
  std::optional<sim::ScratchDirectory> directory = MakeSessionDirectory("demo");
  if (!directory) {
    return 1;
  }
  DemoSession session(options, std::move(*directory));
  return session.Play();
}
