// The demo: a scripted, seeded session of the plug-in in the simulated game, played at full
// speed. At each key moment it prints the plug-in's screen as drawn and a map of the world, and
// with --pictures it also writes that moment's screen as a 1280x720 PNG; the log follows at the
// end. The session: the activation key away from the start (teleport), a run started with its
// sweep, enemies spawning and closing in, kills, a sandbag placed, turned and set down, a
// mounted weapon placed, the last object deleted, the player's death and the summary.
#include "developer/demo.h"

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
#include "developer/picture_font.h"
#include "developer/screen_picture.h"
#include "developer/soak/tool_session.h"
#include "developer/views.h"
#include "observers/plugin_view.h"
#include "runtime/script.h"
#include "spawner/catalogues.h"

namespace {

constexpr int kScreenWidth = 78;
constexpr int kScreenHeight = 30;
constexpr int kMapWidth = 61;
constexpr int kMapHeight = 19;
constexpr float kMapMetresPerColumn = 3.0f;
constexpr float kShotRange = 45.0f;
// The player is sturdy while the scripted moments play, and ordinary once it gives up.
constexpr std::int32_t kScriptedPlayerHealth = 100000;
constexpr std::int32_t kOrdinaryPlayerHealth = 200;
constexpr std::uint32_t kFramesPerShot = 25;
constexpr std::uint32_t kSandbagModel = 0xC9C22C59;  // row 4 of the COVER menu

struct DemoOptions {
  SessionOptions session;
  std::uint32_t fightSeconds = 40;
  bool trace = false;
  std::filesystem::path picturesDirectory;  // empty: no pictures
};

void PrintUsage() {
  std::printf(
      "usage: holdout demo [--seed N] [--ini PATH] [--fight SECONDS] [--trace] [--pictures DIR]\n"
      "\n"
      "Plays a scripted session of Holdout in the simulated game at full speed and prints\n"
      "the plug-in's screen and a map of the world at each key moment, then the log.\n"
      "  --seed N          the world's random seed (default 7): same seed, same session\n"
      "  --ini PATH        use this settings file instead of the defaults\n"
      "  --fight SECONDS   how long the player fights back before giving up (default 40)\n"
      "  --trace           also print every native call as it is made: frame, native,\n"
      "                    arguments (texts as text, addresses as what they held) and answer\n"
      "  --pictures DIR    also write each moment's screen, as the game would show it, to\n"
      "                    DIR/<moment>.png (1280x720); DIR must be new or empty\n"
      "exit codes: 0 success, 1 the plug-in misbehaved, 2 bad usage, 3 the settings file\n"
      "cannot be read or a picture cannot be written\n");
}

class DemoSession {
 public:
  DemoSession(const DemoOptions& options, sim::ScratchDirectory directory)
      : options_(options),
        session_(options.session, {2940.0f, -980.0f, 52.0f}, std::move(directory)),
        host_(session_.Host()) {
    host_.SetTickCount(3600000u + static_cast<std::uint32_t>(options_.session.seed % 100000));
    if (options_.trace) {
      host_.SetCallTrace(stdout);
    }
  }

  int Play() {
    sim::World& world = host_.GetWorld();
    world.player.health = kScriptedPlayerHealth;
    AddBystanders();
    host_.Load(&DllMain);
    Frames(30);
    Moment("far-away", "The player stands far from the arena");

    Tap(ObservePlugin().settings.ActivateMod);
    Frames(5);
    Moment("teleported",
           "Activation key away from the start: the player is moved to the starting position");

    Tap(ObservePlugin().settings.ActivateMod);
    Frames(10);
    Moment("run-started",
           "Run started: the start sound, the bystanders swept away (one per frame), the "
           "player's companions kept");

    FightFor(6);
    Moment("enemies", "Enemies spawn at the two points and close in");

    FightFor(8);
    Moment("hud", "The player fights back: every death is counted when its slot comes round");

    PlaceSandbag();
    PlaceMountedWeapon();
    DeleteLastObject();

    FightFor(options_.fightSeconds > 14 ? options_.fightSeconds - 14 : 0);
    Moment("holding-out", "Still holding out");

    world.player.health = kOrdinaryPlayerHealth;
    while (ObservePlugin().run.runActive && host_.Frame() < 2000000) {
      Frames(1);
    }
    Frames(1);
    Moment("summary", "The player falls: the run ends, its enemies are deleted, the summary shows");

    std::printf("\nHoldout.log:\n");
    std::ifstream log(session_.Directory() / "Holdout.log");
    std::string line;
    while (std::getline(log, line)) {
      std::printf("  %s\n", line.c_str());
    }
    for (const std::string& fault : host_.Faults()) {
      std::printf("fault: %s\n", fault.c_str());
    }
    if (!pictureProblem_.empty()) {
      std::fprintf(stderr, "demo: %s\n", pictureProblem_.c_str());
      return 3;
    }
    return host_.Faults().empty() ? 0 : 1;
  }

 private:
  void AddBystanders() {
    sim::World& world = host_.GetWorld();
    const Vector3 start = ObservePlugin().settings.PlayerStartingPosition;
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
    for (std::uint32_t i = 0; i < frames && ObservePlugin().run.runActive; ++i) {
      Frames(1);
      if (i % kFramesPerShot == kFramesPerShot - 1) {
        ShootNearestAttacker(host_.GetWorld(), kShotRange);
      }
    }
  }

  // The title of the menu on `page` (1..3).
  static std::string MenuTitle(int page) { return kSpawnerMenus[page - 1].title; }

  // Opens the menu on `page` (1..3) with the spawner key from a closed menu.
  void OpenMenuPage(int page) {
    for (int i = 0; i < page; ++i) {
      Tap(ObservePlugin().settings.SpawnerMenu);
    }
  }

  void PlaceSandbag() {
    // The sandbag's model is already in memory, as after an earlier use, so the pick creates
    // the sandbag in the very frame that draws the menu.
    host_.GetWorld().ModelFor(kSandbagModel).loadFrames = 0;
    OpenMenuPage(2);
    host_.TapKey(ObservePlugin().settings.MenuSelectFour);
    Frames(1);
    Moment("cover-menu", ("Spawner key twice, then row 4 of the " + MenuTitle(2) +
                          " menu: the sandbag appears 3 m ahead and the player is held still; "
                          "the menu closes from the next frame")
                             .c_str());
    Frames(3);
    Moment("sandbag-held", "The sandbag held 4 m out in the view direction");
    Hold(ObservePlugin().settings.RotateObject, 45);
    char title[96];
    std::snprintf(title, sizeof title, "Rotate key held: the sandbag turned to %d degrees",
                  ObservePlugin().placement.placingHeading);
    Moment("sandbag-turned", title);
    Hold(ObservePlugin().settings.ConfirmObject, 2);
    Moment("sandbag-set-down", "Confirm key: the sandbag is set down, the player can move again");
  }

  void PlaceMountedWeapon() {
    OpenMenuPage(3);
    Moment("weapons-menu", ("Spawner key three times: the " + MenuTitle(3) + " menu").c_str());
    host_.GetWorld().viewHeading = 90.0f;
    Tap(ObservePlugin().settings.MenuSelectOne);
    Frames(4);
    Moment("gatling-gun-held",
           "Row 1 picked, view turned 90 degrees: a gatling gun held to the player's left");
    Hold(ObservePlugin().settings.ConfirmObject, 2);
    host_.GetWorld().viewHeading = 0.0f;
    Moment("gatling-gun-set-down", "Confirm key: the gatling gun is set down");
  }

  void DeleteLastObject() {
    OpenMenuPage(1);
    Moment("explosives-menu",
           ("Spawner key once: the " + MenuTitle(1) + " menu with its delete row").c_str());
    Tap(ObservePlugin().settings.MenuSelectSeven);
    Frames(1);
    Moment("deleted", "Row 7 picked: the last object set down (the gatling gun) is deleted");
  }

  // Prints the moment, and writes its picture as `name`.png when pictures are asked for (until
  // one cannot be written).
  void Moment(const char* name, const char* title) {
    const std::uint32_t frame = host_.Frame();
    const double seconds = static_cast<double>(frame) * host_.FrameDuration() / 1000.0;
    std::printf("\n== %.1f s, frame %" PRIu32 ": %s\n", seconds, frame, title);
    const std::vector<sim::DrawnText> texts = host_.Screen().TextsInFrame(frame);
    const std::vector<sim::DrawnBox> boxes = host_.Screen().BoxesInFrame(frame);
    if (!options_.picturesDirectory.empty() && pictureProblem_.empty()) {
      const std::filesystem::path picture =
          options_.picturesDirectory / (std::string(name) + ".png");
      pictureProblem_ = WriteScreenPicture(picture, texts, boxes, host_.GetWorld());
      if (pictureProblem_.empty()) {
        std::printf("picture: %s\n", picture.c_str());
      }
    }
    if (texts.empty() && boxes.empty()) {
      std::printf("(the plug-in draws nothing on screen)\n");
    } else {
      std::fputs(RenderScreen(texts, boxes, kScreenWidth, kScreenHeight).Framed("screen").c_str(),
                 stdout);
    }
    std::fputs(RenderWorld(host_.GetWorld(), kMapMetresPerColumn, kMapWidth, kMapHeight)
                   .Framed("world, north up, 3 m a column")
                   .c_str(),
               stdout);
    std::printf("  %s\n", WorldLegend());
    host_.Screen().Clear();
  }

  DemoOptions options_;
  std::string pictureProblem_;  // why a picture could not be written; empty while all could
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
    } else if (option == "--pictures" && hasValue) {
      options.picturesDirectory = argv[++i];
    } else {
      std::fprintf(stderr, "demo: unknown option '%s' (see 'holdout demo --help')\n", argv[i]);
      return false;
    }
  }
  return true;
}

// Makes the pictures' directory ready before the session moves into a directory of its own: an
// absolute path, new or empty (so no picture replaces a file), and the font at hand. Returns 0,
// or prints why not and returns 3.
int PreparePictures(DemoOptions& options) {
  if (options.picturesDirectory.empty()) {
    return 0;
  }
  std::error_code error;
  options.picturesDirectory = std::filesystem::absolute(options.picturesDirectory, error);
  const char* directory = options.picturesDirectory.c_str();
  if (std::filesystem::exists(options.picturesDirectory, error)) {
    if (!std::filesystem::is_directory(options.picturesDirectory, error)) {
      std::fprintf(stderr, "demo: '%s' is not a directory\n", directory);
      return 3;
    }
    if (!std::filesystem::is_empty(options.picturesDirectory, error) || error) {
      std::fprintf(stderr,
                   "demo: '%s' is not empty; the pictures go to a new or empty directory, so "
                   "that no file is replaced\n",
                   directory);
      return 3;
    }
  } else if (!std::filesystem::create_directories(options.picturesDirectory, error)) {
    std::fprintf(stderr, "demo: cannot create '%s': %s\n", directory, error.message().c_str());
    return 3;
  }
  std::string problem;
  if (PictureFontFace(problem) == nullptr) {
    std::fprintf(stderr, "demo: %s\n", problem.c_str());
    return 3;
  }
  return 0;
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
  if (const int problem = PreparePictures(options); problem != 0) {
    return problem;
  }
  std::optional<sim::ScratchDirectory> directory = MakeSessionDirectory("demo");
  if (!directory) {
    return 1;
  }
  DemoSession session(options, std::move(*directory));
  return session.Play();
}
