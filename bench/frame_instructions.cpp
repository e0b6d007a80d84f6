// holdout_frame_instructions: the program the instruction check runs under callgrind. Given a
// state's name and a number of frames, it drives the plug-in into that state, lets its buffers
// reach their size, and runs that many frames inside HoldoutCountedFrames, the one function
// whose instructions the check has callgrind count (all but the host's natives and the world's
// step, which it has callgrind skip). With --waiting a script that only waits runs those frames
// in the plug-in's place: the host's round trip, which the check takes away. "menu-caption-
// copies" makes, as many times, the caption copies of one frame of the open EXPLOSIVES menu
// instead: each drawn row's GetCaption, by value, as the menu rows' class family has it.
// "--states" lists the names.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <memory>
#include <string_view>

#include "core/script_context.h"
#include "plugin_states.h"

namespace {

using holdout_bench::kPluginStageNames;
using holdout_bench::PluginAt;
using holdout_bench::PluginStage;

constexpr std::string_view kCaptionCopies = "menu-caption-copies";
constexpr std::uint32_t kWarmUpFrames = 200;

int Usage() {
  std::fprintf(stderr,
               "usage: holdout_frame_instructions STATE FRAMES [--waiting] | --states\n");
  return 2;
}

}  // namespace

// The frames the check counts. Not inlined, and named without decoration, so that callgrind
// can be told to count from its entry to its return.
extern "C" __attribute__((noinline)) std::size_t HoldoutCountedFrames(sim::SimHost& host,
                                                                      std::uint32_t frames,
                                                                      bool captionsOnly) {
  std::size_t characters = 0;
  for (std::uint32_t frame = 0; frame < frames; ++frame) {
    if (captionsOnly) {
      characters += holdout_bench::CopyOpenMenuCaptions();
    } else {
      host.RunFrame();
    }
  }
  return characters;
}

int main(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]) == "--states") {
    for (const auto& state : kPluginStageNames) {
      std::printf("%.*s\n", static_cast<int>(state.name.size()), state.name.data());
    }
    std::printf("%.*s\n", static_cast<int>(kCaptionCopies.size()), kCaptionCopies.data());
    return 0;
  }
  const bool waiting = argc == 4 && std::string_view(argv[3]) == "--waiting";
  if (argc != 3 && !waiting) {
    return Usage();
  }
  const std::string_view name = argv[1];
  const bool captionsOnly = name == kCaptionCopies;
  const holdout_bench::PluginStageName* chosen = nullptr;
  for (const auto& state : kPluginStageNames) {
    if (state.name == (captionsOnly ? "menu" : name)) {
      chosen = &state;
    }
  }
  const long frames = std::strtol(argv[2], nullptr, 10);
  if (chosen == nullptr || frames <= 0) {
    return Usage();
  }
  sim::SimHost& host = PluginAt(chosen->stage);
  host.Calls().SetEnabled(false);
  host.Calls().Clear();
  host.Screen().SetKeeping(false);
  host.Screen().Clear();
  host.RunFrames(kWarmUpFrames);
  std::unique_ptr<sim::ScriptContext> pluginScript;
  if (waiting) {
    pluginScript = host.SwapScriptContext(
        std::make_unique<sim::ScriptContext>(&holdout_bench::WaitingScript));
  }
  HoldoutCountedFrames(host, static_cast<std::uint32_t>(frames), captionsOnly);
  if (!host.Faults().empty()) {
    std::fprintf(stderr, "the simulated game refused: %s\n", host.Faults().front().c_str());
    return 1;
  }
  return 0;
}
