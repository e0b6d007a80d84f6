// play: the interactive arena. Each real-time frame reads the terminal's keys, turns them into
// the plug-in's key messages (bindings from the settings file), moves or arms the player, runs
// one frame of the simulated game and draws the world from above with the plug-in's screen over
// it, with the held object's heading while an object is held. Arrow keys move, '[' and ']' turn
// the view, space fires at the nearest enemy in range, Enter gets a fallen player up again at the
// start, Esc quits.
#include "developer/play.h"

#include <curses.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "core/sim_host.h"
#include "developer/soak/tool_session.h"
#include "developer/terminal_keys.h"
#include "developer/views.h"
#include "player/key_names.h"
#include "observers/plugin_view.h"
#include "runtime/script.h"

namespace {

constexpr float kStepMetres = 1.0f;
constexpr float kViewTurnDegrees = 15.0f;
constexpr float kShotRange = 35.0f;
constexpr float kMapMetresPerColumn = 2.0f;
constexpr int kEscapeKey = 27;
constexpr std::int32_t kPlayerHealth = 200;

struct PlayOptions {
  SessionOptions session;
  unsigned framesPerSecond = 30;
};

void PrintUsage() {
  std::printf(
      "usage: holdout play [--seed N] [--ini PATH] [--fps N]\n"
      "\n"
      "The arena: the simulated world in your terminal, with Holdout running in it.\n"
      "Your Holdout.ini key bindings work as in the game (letters, digits, F-keys; Shift\n"
      "through upper case). Arrow keys move, [ and ] turn the view, space fires at the\n"
      "nearest enemy in range, Enter gets you up again after you fall, Esc quits.\n"
      "  --seed N    the world's random seed (default 7)\n"
      "  --ini PATH  use this settings file instead of the defaults\n"
      "  --fps N     frames per second, 10 to 120 (default 30)\n");
}

bool ParseOptions(int argc, char** argv, PlayOptions& options) {
  for (int i = 0; i < argc; ++i) {
    const std::string option = argv[i];
    const bool hasValue = i + 1 < argc;
    if (TakeSessionOption(argc, argv, i, options.session)) {
      continue;
    }
    if (option == "--fps" && hasValue) {
      options.framesPerSecond = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else {
      std::fprintf(stderr, "play: unknown option '%s' (see 'holdout play --help')\n", argv[i]);
      return false;
    }
  }
  if (options.framesPerSecond < 10 || options.framesPerSecond > 120) {
    std::fprintf(stderr, "play: --fps takes 10 to 120\n");
    return false;
  }
  return true;
}

class Arena {
 public:
  Arena(const PlayOptions& options, sim::ScratchDirectory directory)
      : options_(options),
        session_(options.session, {2780.0f, -1020.0f, 48.0f}, std::move(directory)),
        host_(session_.Host()) {
    host_.SetFrameDuration(1000 / options_.framesPerSecond);
  }

  int Run() {
    host_.Load(&DllMain);
    host_.RunFrame();  // the plug-in loads its settings in its first frame
    const Settings& keys = ObservePlugin().settings;
    keys_ = std::make_unique<TerminalKeys>(
        std::set<std::uint32_t>{keys.RotateObject, keys.ReverseRotateObject, keys.ConfirmObject},
        [this](std::uint32_t key, bool wasDown, bool isUp) {
          // The keyboard as Windows reports it: a repeat reaches the plug-in only for the key
          // pressed last.
          if (isUp) {
            host_.ReleaseKey(key);
          } else if (wasDown) {
            host_.RepeatKey(key);
          } else {
            host_.PressKey(key);
          }
        });
    const auto framePeriod = std::chrono::microseconds(1000000 / options_.framesPerSecond);
    const auto started = std::chrono::steady_clock::now();
    auto nextFrame = started;
    for (;;) {
      const std::uint64_t nowMs =
          static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - started)
                                         .count());
      for (int key = getch(); key != ERR; key = getch()) {
        if (key == kEscapeKey) {
          return host_.Faults().empty() ? 0 : 1;
        }
        if (!OnArenaKey(key)) {
          keys_->OnTerminalKey(key, nowMs);
        }
      }
      keys_->Update(nowMs);
      host_.RunFrame();
      Draw();
      host_.Calls().Clear();
      host_.Screen().Clear();
      nextFrame += framePeriod;
      std::this_thread::sleep_until(nextFrame);
    }
  }

 private:
  // The arena's own keys: true when `key` was one of them.
  bool OnArenaKey(int key) {
    sim::World& world = host_.GetWorld();
    sim::Player& player = world.player;
    const bool canMove = !player.dead && player.controlsEnabled;
    switch (key) {
      case KEY_UP:
        Move(0.0f, kStepMetres, 0.0f, canMove);
        return true;
      case KEY_DOWN:
        Move(0.0f, -kStepMetres, 180.0f, canMove);
        return true;
      case KEY_LEFT:
        Move(-kStepMetres, 0.0f, 90.0f, canMove);
        return true;
      case KEY_RIGHT:
        Move(kStepMetres, 0.0f, 270.0f, canMove);
        return true;
      case '[':
        world.viewHeading += kViewTurnDegrees;
        return true;
      case ']':
        world.viewHeading -= kViewTurnDegrees;
        return true;
      case ' ':
        if (!player.dead) {
          ShootNearestAttacker(world, kShotRange);
        }
        return true;
      case '\n':
      case KEY_ENTER:
        if (player.dead) {
          player.dead = false;
          player.health = kPlayerHealth;
          const Vector3 start = ObservePlugin().settings.PlayerStartingPosition;
          player.position = {start.x, start.y, start.z};
        }
        return true;
      default:
        return false;
    }
  }

  // Moves the player by (dx, dy) metres and faces it that way (heading in degrees, 0 = north,
  // counter-clockwise).
  void Move(float dx, float dy, float heading, bool canMove) {
    if (!canMove) {
      return;
    }
    sim::Player& player = host_.GetWorld().player;
    player.position.x += dx;
    player.position.y += dy;
    player.heading = heading;
  }

  void Draw() {
    int rows = 0;
    int columns = 0;
    getmaxyx(stdscr, rows, columns);
    const int height = rows - 2;
    if (height < 5 || columns < 20) {
      return;
    }
    const std::uint32_t frame = host_.Frame();
    const Canvas world = RenderWorld(host_.GetWorld(), kMapMetresPerColumn, columns, height);
    const Canvas screen = RenderScreen(host_.Screen().TextsInFrame(frame),
                                       host_.Screen().BoxesInFrame(frame), columns, height);
    for (int row = 0; row < height; ++row) {
      move(row, 0);
      for (int column = 0; column < columns; ++column) {
        const Cell& over = screen.At(column, row);
        const bool screenCell = over.ch != ' ' || over.shade != Shade::kPlain;
        const char ch = screenCell ? over.ch : world.At(column, row).ch;
        attr_t attributes = A_NORMAL;
        if (over.shade == Shade::kOpaque) {
          attributes = A_REVERSE;
        } else if (over.shade == Shade::kTranslucent) {
          attributes = A_REVERSE | A_DIM;
        } else if (screenCell) {
          attributes = A_BOLD;
        }
        addch(static_cast<chtype>(static_cast<unsigned char>(ch)) | attributes);
      }
    }
    const sim::Player& player = host_.GetWorld().player;
    mvprintw(rows - 2, 0, "%-*s", columns, WorldLegend());
    mvprintw(rows - 1, 0, "%-*.*s", columns, columns, StatusLine(player).c_str());
    refresh();
  }

  // The player's state first, then the keys, so that a narrow terminal still shows the state.
  std::string StatusLine(const sim::Player& player) const {
    std::string line;
    if (player.dead) {
      line = "you fell: Enter to get up";
    } else {
      line = "health " + std::to_string(player.health) +
             (ObservePlugin().run.runActive ? "  run on" : "  no run");
    }
    // The held object's heading, so that turning it with the placement keys shows.
    const PlacementState& placement = ObservePlugin().placement;
    if (placement.placingObject != 0) {
      line +=
          "  held object heading " + std::to_string((placement.placingHeading % 360 + 360) % 360);
    }
    const Settings& keys = ObservePlugin().settings;
    return line + "  |  " + KeyName(keys.ActivateMod) + " run  " + KeyName(keys.SpawnerMenu) +
           " menus  1-9 pick  " + KeyName(keys.RotateObject) + "/Shift+" +
           KeyName(keys.RotateObject) + " turn  " + KeyName(keys.ConfirmObject) +
           " set down  arrows move  [ ] view  space fire  Esc quit";
  }

  PlayOptions options_;
  ToolSession session_;
  sim::SimHost& host_;
  std::unique_ptr<TerminalKeys> keys_;
};

// Puts the terminal into the arena's mode for the life of the object.
class CursesSession {
 public:
  CursesSession() {
    set_escdelay(25);
    initscr();
    cbreak();
    noecho();
    nodelay(stdscr, TRUE);
    keypad(stdscr, TRUE);
    curs_set(0);
  }
  ~CursesSession() { endwin(); }
  CursesSession(const CursesSession&) = delete;
  CursesSession& operator=(const CursesSession&) = delete;
};

}  // namespace

int RunPlay(int argc, char** argv) {
  if (argc > 0 && std::strcmp(argv[0], "--help") == 0) {
    PrintUsage();
    return 0;
  }
  PlayOptions options;
  if (!ParseOptions(argc, argv, options)) {
    return 2;
  }
  if (const int problem = CheckSessionOptions("play", options.session); problem != 0) {
    return problem;
  }
  std::optional<sim::ScratchDirectory> directory = MakeSessionDirectory("play");
  if (!directory) {
    return 1;
  }
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
    std::fprintf(stderr, "play: needs a terminal\n");
    return 2;
  }
  Arena arena(options, std::move(*directory));
  const CursesSession terminal;
  return arena.Run();
}
