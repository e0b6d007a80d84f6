// The soak plays one long session at full speed: random taps of every bound key, held rotate and
// confirm keys (on the keyboard as Windows reports it: only the key pressed last repeats), runs
// started at the starting position, enemies shot, the player killed and raised again, and
// random faults armed from the fault injector (creations and model loads failing, a crowded
// world, odd rotations, the player dying before a run tick, the tick count jumping or wrapping,
// the window losing the focus while a key is down). With --churn the world lives as a game's
// does (strangers walk in and off, corpses are cleared, handle values come back, two of the
// player's group stand by) and the faults of a live world and host join the mix: listed peds,
// enemies and the held object leaving or their handles naming new peds, the script function
// started again, allocations of the plug-in failing, the process exiting (after which the
// plug-in is loaded again, as by a new process). --faults narrows the mix to the kinds it names.
// The tick count starts a minute short of its wrap. A second thread taps keys while frames run,
// as the game's keyboard does. After every frame the session invariants are checked; the last
// line of output is "N frames, V violations". With --trace the session writes its native-call
// trace and leaves out the keyboard thread, whose timing no seed fixes, so the same seed gives
// the same trace from any build that behaves the same.
#include "developer/soak/soak.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "core/fault_injector.h"
#include "developer/soak/session_invariants.h"
#include "developer/soak/tool_session.h"
#include "observers/plugin_view.h"
#include "runtime/frame_steps.h"
#include "runtime/script.h"
#include "settings/settings_schema.h"
#include "spawner/placement_keys.h"

namespace {

constexpr std::uint32_t kMinuteShortOfWrap = 0xFFFFFFFFu - 60000u;
constexpr std::int32_t kPlayerHealth = 200;
constexpr int kReportedViolations = 20;
// The settings the soak plays with unless given a file: debug on, so the activation key also
// ends runs and F2 writes to the log, and a small enemy limit so runs fill up.
constexpr const char* kSoakSettings = "[Main]\r\nDebug=1\r\nMaxEnemies=20\r\n";

struct SoakOptions {
  SessionOptions session;
  std::uint64_t frames = 100000;
  std::string tracePath;  // empty: no trace, and the keyboard thread taps keys
  bool churn = false;     // a live world, and its faults mixed in
  std::vector<sim::FaultKind> faults;  // the kinds armed; empty: those of the world played
};

// The live world of --churn: how often strangers walk in and off, per mille and frame.
constexpr std::uint32_t kChurnSpawnPerMille = 20;
constexpr std::uint32_t kChurnDespawnPerMille = 10;
constexpr int kChurnCompanions = 2;
// Besides the armed faults, the host starts the script function again about every 20000 frames.
constexpr double kChurnRestartChance = 0.00005;

void PrintUsage() {
  std::printf(
      "usage: holdout soak [--frames N] [--seed S] [--ini PATH] [--churn] [--faults KINDS]\n"
      "                    [--trace FILE]\n"
      "\n"
      "Plays Holdout at full speed in one long random session with random faults, checking\n"
      "after every frame that the player's controls are taken exactly while an object is held,\n"
      "that no enemy outlives its run, that at most one menu shows, that the simulated game saw\n"
      "nothing it would refuse and that the log only grew. The last line reads\n"
      "'N frames, V violations'; exit code 0 when V is 0, 1 otherwise.\n"
      "  --frames N  frames to play (default 100000)\n"
      "  --seed S    the random seed of the session and the world (default 7)\n"
      "  --ini PATH  use this settings file instead of the soak's own (debug on, 20 enemies)\n"
      "  --churn     a live world: strangers come and go, corpses are cleared, handles come\n"
      "              back; and its faults too: peds, enemies and the held object leaving, the\n"
      "              script started again, allocations failing, the process exiting\n"
      "  --faults KINDS  arm only these kinds of fault, named with commas between (say\n"
      "              allocation-fails,tick-jump); the names are those the report gives,\n"
      "              listed below (those marked * only when named)\n"
      "  --trace FILE  write every native call to FILE (a new file), without the second thread\n"
      "              tapping keys, so the same seed always plays the same session\n"
      "\n"
      "Kinds of fault (with --churn also those marked +):\n");
  for (const sim::FaultRow& row : sim::kFaultRows) {
    const char mark = row.scene == sim::FaultScene::kLive    ? '+'
                      : row.scene == sim::FaultScene::kNamed ? '*'
                                                              : ' ';
    std::printf("  %c %-24.*s %.*s\n", mark, static_cast<int>(row.name.size()), row.name.data(),
                static_cast<int>(row.strikes.size()), row.strikes.data());
  }
}

// The kinds of fault the soak arms unless told which, in the table's order, which it draws
// them in: those of a calm world, and with `churn` those of a live one too.
std::vector<sim::FaultKind> FaultKinds(bool churn) {
  std::vector<sim::FaultKind> kinds;
  for (const sim::FaultRow& row : sim::kFaultRows) {
    if (row.scene == sim::FaultScene::kCalm || (churn && row.scene == sim::FaultScene::kLive)) {
      kinds.push_back(row.kind);
    }
  }
  return kinds;
}

// The kinds named in `names`, with commas between; false at a name no kind has.
bool ParseFaultKinds(std::string_view names, std::vector<sim::FaultKind>& kinds) {
  while (!names.empty()) {
    const std::size_t end = std::min(names.find(','), names.size());
    const std::string_view name = names.substr(0, end);
    names.remove_prefix(std::min(end + 1, names.size()));
    const auto row = std::find_if(sim::kFaultRows.begin(), sim::kFaultRows.end(),
                                  [name](const sim::FaultRow& r) { return r.name == name; });
    if (row == sim::kFaultRows.end()) {
      std::fprintf(stderr, "soak: --faults: no fault is called '%.*s'\n",
                   static_cast<int>(name.size()), name.data());
      return false;
    }
    kinds.push_back(row->kind);
  }
  if (kinds.empty()) {
    std::fprintf(stderr, "soak: --faults takes the names of one or more kinds of fault\n");
    return false;
  }
  return true;
}

bool ParseOptions(int argc, char** argv, SoakOptions& options) {
  for (int i = 0; i < argc; ++i) {
    const std::string option = argv[i];
    if (TakeSessionOption(argc, argv, i, options.session)) {
      continue;
    }
    if (option == "--frames" && i + 1 < argc) {
      char* end = nullptr;
      options.frames = std::strtoull(argv[++i], &end, 10);
      if (*end != '\0' || options.frames == 0) {
        std::fprintf(stderr, "soak: --frames takes a positive whole number\n");
        return false;
      }
    } else if (option == "--churn") {
      options.churn = true;
    } else if (option == "--faults" && i + 1 < argc) {
      if (!ParseFaultKinds(argv[++i], options.faults)) {
        return false;
      }
    } else if (option == "--trace" && i + 1 < argc) {
      options.tracePath = argv[++i];
    } else {
      std::fprintf(stderr, "soak: unknown option '%s' (see 'holdout soak --help')\n", argv[i]);
      return false;
    }
  }
  return true;
}

// The keys the placement tests held, as the settings bind them, in the order it tests them.
std::vector<DWORD> HeldPlacementKeys() {
  const Settings& keys = ObservePlugin().settings;
  std::vector<DWORD> held;
  for (const PlacementKey& entry : kPlacementKeys) {
    held.push_back(keys.*entry.key);
    if (entry.reverseKey != nullptr) {
      held.push_back(keys.*entry.reverseKey);
    }
  }
  return held;
}

// Every key a frame tests, as the settings bind them, in the order of the frame's steps: the
// bindings and fixed keys tested for a release, and at the step of the open menu or the
// placement the placement's held keys, then the menu select keys.
std::vector<DWORD> BoundKeys() {
  const Settings& keys = ObservePlugin().settings;
  std::vector<DWORD> bound;
  for (const FrameStep& step : kFrameSteps) {
    if (step.action == StepAction::kMenuOrPlacement) {
      const std::vector<DWORD> held = HeldPlacementKeys();
      bound.insert(bound.end(), held.begin(), held.end());
    }
    switch (step.keys) {
      case StepKeys::kNone:
        break;
      case StepKeys::kBinding:
        bound.push_back(keys.*step.binding);
        break;
      case StepKeys::kMenuSelect:
        for (const std::uint32_t key : MenuSelectKeys(keys)) {
          bound.push_back(key);
        }
        break;
      case StepKeys::kDebugFixedKey:
        bound.push_back(step.fixedKey);
        break;
    }
  }
  return bound;
}

// Taps random bound keys from a thread of its own until stopped.
class KeyboardThread {
 public:
  KeyboardThread(sim::SimHost& host, std::vector<DWORD> keys, std::uint64_t seed)
      : thread_([this, &host, keys = std::move(keys), seed] {
          std::mt19937_64 random(seed);
          while (!stop_.load(std::memory_order_relaxed)) {
            host.TapKey(keys[random() % keys.size()]);
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 2000));
          }
        }) {}
  ~KeyboardThread() {
    stop_.store(true, std::memory_order_relaxed);
    thread_.join();
  }
  KeyboardThread(const KeyboardThread&) = delete;
  KeyboardThread& operator=(const KeyboardThread&) = delete;

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class Soak {
 public:
  Soak(const SoakOptions& options, sim::ScratchDirectory directory)
      : options_(options),
        session_(options.session, {2700.0f, -1200.0f, 48.0f}, std::move(directory)),
        host_(session_.Host()),
        injector_(host_),
        random_(options.session.seed),
        faultKinds_(options.faults.empty() ? FaultKinds(options.churn) : options.faults) {
    if (options.session.iniPath.empty()) {
      std::ofstream(session_.Directory() / "Holdout.ini", std::ios::binary) << kSoakSettings;
    }
    host_.Calls().SetEnabled(false);
    host_.SetTickCount(kMinuteShortOfWrap);
    injector_.SetStateProbe(&PluginPhase);
    if (options.churn) {
      MakeWorldLive(host_.GetWorld());
    }
  }

  int Play(std::FILE* trace) {
    host_.SetCallTrace(trace);
    host_.Load(&DllMain);
    host_.RunFrame();
    SessionInvariants invariants(host_, session_.Directory() / "Holdout.log",
                                 session_.FallbackLog(), session_.OtherWorkingFolderLog());
    std::uint64_t violations = 0;
    {
      std::optional<KeyboardThread> keyboard;
      if (trace == nullptr) {
        keyboard.emplace(host_, BoundKeys(), options_.session.seed + 1);
      }
      for (std::uint64_t frame = 1; frame < options_.frames; ++frame) {
        Act();
        host_.RunFrame();
        if (host_.ProcessExited()) {
          host_.Load(&DllMain);
        }
        Count();
        for (const std::string& breach : invariants.Check()) {
          if (++violations <= kReportedViolations) {
            std::fprintf(stderr, "soak: %s%s\n", breach.c_str(), LastArmedNote().c_str());
          }
        }
        host_.Screen().Clear();
      }
    }
    if (!host_.ProcessExited()) {
      host_.Unload();
    }
    TallyInjected();
    std::printf("%" PRIu64 " runs, %" PRIu64 " objects held, %" PRIu64 " player deaths, %" PRIu64
                " faults injected\n",
                runs_, objectsHeld_, deaths_, faultsInjected_);
    std::string byKind;
    for (const auto& [kind, count] : injectedByKind_) {
      byKind += (byKind.empty() ? "" : ", ") + std::string(sim::FaultKindName(kind)) + " " +
                std::to_string(count);
    }
    std::printf("faults by kind: %s; %" PRIu64 " restarts besides\n", byKind.c_str(), restarts_);
    std::printf("%" PRIu64 " frames, %" PRIu64 " violations\n", options_.frames, violations);
    return violations == 0 ? 0 : 1;
  }

 private:
  bool Chance(double probability) {
    return std::uniform_real_distribution<double>(0.0, 1.0)(random_) < probability;
  }
  template <typename T>
  T Pick(const std::vector<T>& from) {
    return from[random_() % from.size()];
  }

  // Turns the churn knobs and puts the player's companions beside them.
  static void MakeWorldLive(sim::World& world) {
    world.churn = {.ambientSpawnPerMille = kChurnSpawnPerMille,
                   .ambientDespawnPerMille = kChurnDespawnPerMille,
                   .unheldCorpsesCleared = true,
                   .handlesReused = true};
    for (int i = 0; i < kChurnCompanions; ++i) {
      sim::Ped companion;
      companion.model = sim::World::NameHash(sim::World::kAmbientModel);
      companion.position = world.player.position;
      companion.group = world.player.group;
      world.AddPed(companion);
    }
  }

  // One frame's worth of the player's and the world's random doings.
  void Act() {
    sim::World& world = host_.GetWorld();
    if (Chance(0.02)) {
      host_.TapKey(Pick(BoundKeys()));
    }
    if (Chance(0.01)) {
      const DWORD key = Pick(HeldPlacementKeys());
      const std::uint64_t releaseAt = frameCount_ + 1 + random_() % 60;
      // A key the player holds already cannot go down again.
      if (std::none_of(held_.begin(), held_.end(), [key](const HeldKey& h) { return h.key == key; })) {
        host_.PressKey(key);
        held_.push_back({key, releaseAt});
      }
    }
    for (std::size_t i = 0; i < held_.size();) {
      if (held_[i].releaseAt <= frameCount_) {
        host_.ReleaseKey(held_[i].key);
        held_[i] = held_.back();
        held_.pop_back();
      } else {
        host_.RepeatKey(held_[i].key);  // sent for the key pressed last only
        ++i;
      }
    }
    if (Chance(0.004)) {
      const Vector3& start = ObservePlugin().settings.PlayerStartingPosition;
      world.player.position = {start.x, start.y, start.z};
    }
    if (Chance(0.01)) {
      ShootNearestAttacker(world, 40.0f);
    }
    if (!world.player.dead && Chance(0.0005)) {
      world.KillPlayer();
    }
    if (world.player.dead && Chance(0.005)) {
      world.player.dead = false;
      world.player.health = kPlayerHealth;
    }
    if (Chance(0.001)) {
      TallyInjected();
      // Drawn in this order, so that every seed plays the sessions it always played.
      const bool persistent = Chance(0.3);
      const std::uint64_t n = 1 + random_() % 20;
      armedKind_ = faultKinds_[random_() % faultKinds_.size()];
      injector_.Arm(*armedKind_, n, persistent);
    } else if (Chance(0.002)) {
      injector_.Disarm();
    }
    if (options_.churn && Chance(kChurnRestartChance)) {
      host_.RestartScript();
      ++restarts_;
    }
    ++frameCount_;
  }

  // Adds what the injector did since it was last armed to the totals.
  void TallyInjected() {
    faultsInjected_ += injector_.Injected();
    if (armedKind_ && injector_.Injected() != 0) {
      injectedByKind_[*armedKind_] += injector_.Injected();
    }
  }

  // Which fault was armed last, to tell a violation's likely cause.
  std::string LastArmedNote() const {
    if (!armedKind_) {
      return "";
    }
    return " (last fault armed: " + std::string(sim::FaultKindName(*armedKind_)) + ")";
  }

  // What the session went through, from what the game shows and the plug-in's records.
  void Count() {
    const bool running = ObservePlugin().run.runActive;
    const bool holding = ObservePlugin().placement.placingObject != 0;
    const bool dead = host_.GetWorld().player.dead;
    runs_ += running && !wasRunning_ ? 1 : 0;
    objectsHeld_ += holding && !wasHolding_ ? 1 : 0;
    deaths_ += dead && !wasDead_ ? 1 : 0;
    wasRunning_ = running;
    wasHolding_ = holding;
    wasDead_ = dead;
  }

  struct HeldKey {
    DWORD key;
    std::uint64_t releaseAt;
  };

  SoakOptions options_;
  ToolSession session_;
  sim::SimHost& host_;
  sim::FaultInjector injector_;
  std::mt19937_64 random_;
  std::vector<sim::FaultKind> faultKinds_;  // what Act arms from
  std::vector<HeldKey> held_;
  std::uint64_t frameCount_ = 0;
  bool wasRunning_ = false;
  bool wasHolding_ = false;
  bool wasDead_ = false;
  std::uint64_t runs_ = 0;
  std::uint64_t objectsHeld_ = 0;
  std::uint64_t deaths_ = 0;
  std::uint64_t faultsInjected_ = 0;
  std::optional<sim::FaultKind> armedKind_;
  std::uint64_t restarts_ = 0;
  std::map<sim::FaultKind, std::uint64_t> injectedByKind_;
};

}  // namespace

int RunSoak(int argc, char** argv) {
  if (argc > 0 && std::strcmp(argv[0], "--help") == 0) {
    PrintUsage();
    return 0;
  }
  SoakOptions options;
  if (!ParseOptions(argc, argv, options)) {
    return 2;
  }
  if (const int problem = CheckSessionOptions("soak", options.session); problem != 0) {
    return problem;
  }
  std::optional<sim::ScratchDirectory> directory = MakeSessionDirectory("soak");
  if (!directory) {
    return 1;
  }
  std::FILE* trace = nullptr;
  if (!options.tracePath.empty()) {
    std::error_code error;
    if (std::filesystem::exists(options.tracePath, error)) {
      std::fprintf(stderr, "soak: %s already exists; the trace goes to a new file\n",
                   options.tracePath.c_str());
      return 2;
    }
    trace = std::fopen(options.tracePath.c_str(), "wb");
    if (trace == nullptr) {
      std::fprintf(stderr, "soak: cannot write %s: %s\n", options.tracePath.c_str(),
                   std::strerror(errno));
      return 3;
    }
  }
  Soak soak(options, std::move(*directory));
  const int status = soak.Play(trace);
  if (trace != nullptr && std::fclose(trace) != 0) {
    std::fprintf(stderr, "soak: writing %s failed\n", options.tracePath.c_str());
    return 3;
  }
  return status;
}
