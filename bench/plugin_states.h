// The states a frame of the plug-in repeats in, and one plug-in driven through them in order:
// idle; the EXPLOSIVES menu open; a small explosive held in front of the player; a run with
// every enemy slot filled; the same run with the banner up. The frame benchmarks time each
// state's frames and the instruction check counts them.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "core/sim_host.h"

namespace holdout_bench {

// The states, in the order the plug-in is driven through them.
enum class PluginStage { kIdle, kMenuOpen, kPlacement, kRun, kRunWithBanner };

// Each state's name as the instruction check and its baseline write it.
struct PluginStageName {
  PluginStage stage;
  std::string_view name;
};
inline constexpr std::array<PluginStageName, 5> kPluginStageNames = {{
    {PluginStage::kIdle, "idle"},
    {PluginStage::kMenuOpen, "menu"},
    {PluginStage::kPlacement, "placement"},
    {PluginStage::kRun, "run"},
    {PluginStage::kRunWithBanner, "run-with-banner"},
}};

// The one host the plug-in is loaded into, its game folder made new and set as the working
// directory, driven on from where the last call left it until it reaches `target`. A state
// already passed stays passed: the plug-in keeps process-wide state, so it is loaded once.
sim::SimHost& PluginAt(PluginStage target);

// Makes the caption copies of one frame of the open menu, as drawing it asks for them: the
// title's and each drawn row's GetCaption, by value. Returns their length, so that no copy can
// be left out by the compiler. With no menu open, nothing.
std::size_t CopyOpenMenuCaptions();

// A script that only waits: in the plug-in's place, the host's frame round trip alone.
void WaitingScript();

}  // namespace holdout_bench
