// What one frame of the plug-in costs in each state it repeats in: idle; a run with 70 enemies;
// a run with the banner up; the EXPLOSIVES menu open; an object held in front of the player.
// Each benchmark reports nanoseconds per frame, heap allocations per frame and native calls per
// frame. HostRoundTrip runs a script that only waits: the simulated host's frame round trip.
// Each state's benchmark then times, in the same host and world, frames of two other scripts in
// the plug-in's place: one that makes the very native calls of the plug-in's frames again
// (native_replay.h) and one that only waits. The waiting frame is the host's round trip with the
// world's step (round trip ns/frame); the replaying frame less the waiting one, per call, is the
// cost of one native to the host (ns/native), and their sum the state's floor (floor ns/frame):
// the least its natives cost with no logic between them; the plug-in's frame less the replaying
// one is the plug-in's own time (own ns/frame). With a menu open, the caption copies its rows'
// by-value GetCaption makes it pay are also timed alone (caption copies ns/frame), a part of
// its own time that the class family fixes. Run them in the order registered (no filter that
// skips a state, no random interleaving).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <utility>
#include <vector>

#include "core/script_context.h"
#include "core/sim_host.h"
#include "native_replay.h"
#include "plugin_states.h"
#include "support/allocation_counter.h"

namespace {

using holdout_bench::NativeReplay;
using holdout_bench::PluginAt;
using holdout_bench::PluginStage;
using holdout_bench::WaitingScript;

BOOL WINAPI WaitingPlugin(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    scriptRegister(module, WaitingScript);
  } else if (reason == DLL_PROCESS_DETACH) {
    scriptUnregister(module);
  }
  return TRUE;
}

// The breakdown of a frame is timed in kBlocks short blocks of kBlockFrames frames each,
// alternating between what is subtracted, and each figure is the median over the blocks: the
// parts of a frame are timed under the same conditions, and a block the machine's other work
// interrupts moves the figure little.
constexpr int kBlocks = 2001;
constexpr int kBlockFrames = 20;

// The time per call of kBlockFrames calls of `step`, in nanoseconds.
template <typename Step>
double TimeBlock(Step step) {
  const auto before = std::chrono::steady_clock::now();
  for (int i = 0; i < kBlockFrames; ++i) {
    step();
  }
  const std::chrono::duration<double, std::nano> elapsed =
      std::chrono::steady_clock::now() - before;
  return elapsed.count() / kBlockFrames;
}

double Median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

constexpr std::uint32_t kCountedFrames = 100;

// Runs frames of `host` in the loop, with the figures every state reports. The recorders keep
// nothing while the loop runs, so the allocations counted are the plug-in's own. With `replay`,
// the natives of kCountedFrames frames are recorded into it before the loop.
void MeasureFrames(benchmark::State& state, sim::SimHost& host, NativeReplay* replay) {
  host.Calls().SetEnabled(true);
  host.Calls().Clear();
  host.RunFrames(kCountedFrames);
  const double callsPerFrame = static_cast<double>(host.Calls().All().size()) / kCountedFrames;
  host.Calls().SetEnabled(false);
  host.Calls().Clear();
  host.Screen().SetKeeping(false);
  host.Screen().Clear();
  if (replay != nullptr) {
    replay->Record(host, kCountedFrames);
  }
  host.RunFrames(kCountedFrames);  // buffers that grow once reach their size

  const std::uint64_t allocationsBefore = holdout_test::AllocationCount();
  std::int64_t frames = 0;
  for (auto _ : state) {
    host.RunFrame();
    ++frames;
  }
  state.SetItemsProcessed(frames);
  state.counters["allocs/frame"] =
      static_cast<double>(holdout_test::AllocationCount() - allocationsBefore) /
      static_cast<double>(frames);
  state.counters["natives/frame"] = callsPerFrame;
}

// Stops the benchmark with the first thing the host's game would not have accepted.
void ReportFaults(benchmark::State& state, const sim::SimHost& host) {
  if (!host.Faults().empty()) {
    state.SkipWithError(host.Faults().front().c_str());
  }
}

void HostRoundTrip(benchmark::State& state) {
  sim::SimHost host;
  host.Load(&WaitingPlugin);
  host.RunFrame();
  MeasureFrames(state, host, nullptr);
  ReportFaults(state, host);
}
// Registered first: it needs its own host, before the plug-in's host exists.
BENCHMARK(HostRoundTrip);

// The recorded frames ReplayingScript makes again.
NativeReplay* replaying = nullptr;

// A script that makes the natives of one recorded frame per frame.
void ReplayingScript() {
  for (;;) {
    replaying->ReplayFrame();
    scriptWait(0);
  }
}

// Runs one block of frames of `script` in the place of the host's script, and puts the one it
// replaced back; returns the time per frame.
double TimeFramesOf(sim::SimHost& host, std::unique_ptr<sim::ScriptContext>& script) {
  script = host.SwapScriptContext(std::move(script));
  const double frame = TimeBlock([&host] { host.RunFrame(); });
  script = host.SwapScriptContext(std::move(script));
  return frame;
}

// Measures frames of a state of the plug-in; then, block by block, times its frames, the frames
// of a script making their natives again, and the frames of a script that only waits, all in
// the same host, whose world steps in each frame as it does under the plug-in. The blocks
// alternate, so the three are timed under the same conditions; the differences are taken block
// by block.
void MeasureState(benchmark::State& state, sim::SimHost& host) {
  NativeReplay replay;
  MeasureFrames(state, host, &replay);
  replaying = &replay;
  auto replayer = std::make_unique<sim::ScriptContext>(&ReplayingScript);
  auto waiter = std::make_unique<sim::ScriptContext>(&WaitingScript);
  std::vector<double> roundTripNs;
  std::vector<double> nativesNs;
  std::vector<double> ownNs;
  std::vector<double> captionNs;
  const bool menuOpen = holdout_bench::CopyOpenMenuCaptions() > 0;
  for (int block = 0; block < kBlocks; ++block) {
    const double frame = TimeBlock([&host] { host.RunFrame(); });
    const double replayed = TimeFramesOf(host, replayer);
    const double waited = TimeFramesOf(host, waiter);
    roundTripNs.push_back(waited);
    nativesNs.push_back(replayed - waited);
    ownNs.push_back(frame - replayed);
    if (menuOpen) {
      captionNs.push_back(
          TimeBlock([] { benchmark::DoNotOptimize(holdout_bench::CopyOpenMenuCaptions()); }));
    }
  }
  replaying = nullptr;
  const double natives = state.counters["natives/frame"];
  state.counters["ns/native"] = natives > 0 ? Median(nativesNs) / natives : 0.0;
  state.counters["round trip ns/frame"] = Median(roundTripNs);
  state.counters["floor ns/frame"] = Median(nativesNs);
  state.counters["own ns/frame"] = Median(ownNs);
  if (menuOpen) {
    // What the rows' by-value captions cost of the menu's own time.
    state.counters["caption copies ns/frame"] = Median(captionNs);
  }
  ReportFaults(state, host);
}

void IdleFrame(benchmark::State& state) {
  MeasureState(state, PluginAt(PluginStage::kIdle));
}
BENCHMARK(IdleFrame);

void MenuOpenFrame(benchmark::State& state) {
  MeasureState(state, PluginAt(PluginStage::kMenuOpen));
}
BENCHMARK(MenuOpenFrame);

void PlacementFrame(benchmark::State& state) {
  MeasureState(state, PluginAt(PluginStage::kPlacement));
}
BENCHMARK(PlacementFrame);

void RunFrame(benchmark::State& state) {
  MeasureState(state, PluginAt(PluginStage::kRun));
}
BENCHMARK(RunFrame);

void RunFrameWithBanner(benchmark::State& state) {
  MeasureState(state, PluginAt(PluginStage::kRunWithBanner));
}
BENCHMARK(RunFrameWithBanner);

}  // namespace
