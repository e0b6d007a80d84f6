// How fast the simulated host runs idle frames of the plug-in: one frame with nothing on screen,
// no run and no keys. The script-context switch and the per-frame native calls dominate.
#include <benchmark/benchmark.h>

#include "core/sim_host.h"
#include "runtime/script.h"

namespace {

void BM_IdleFrame(benchmark::State& state) {
  sim::SimHost host;
  host.Load(&DllMain);
  host.RunFrame();  // set-up
  std::uint64_t frames = 0;
  for (auto _ : state) {
    host.RunFrame();
    if (++frames % 65536 == 0) {
      state.PauseTiming();
      host.Calls().Clear();
      state.ResumeTiming();
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(frames));
  if (!host.Faults().empty()) {
    state.SkipWithError(host.Faults().front().c_str());
  }
}
BENCHMARK(BM_IdleFrame);

}  // namespace
