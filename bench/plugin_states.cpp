// Drives one plug-in, loaded into one simulated host, through the states its frames repeat in.
#include "plugin_states.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>

#include "core/scratch_directory.h"
#include "observers/plugin_view.h"
#include "runtime/frame_steps.h"
#include "runtime/script.h"
#include "spawner/menu.h"
#include "support/default_keys.h"

namespace holdout_bench {

namespace {

const DWORD kActivateKey = holdout_test::DefaultKey(&Settings::ActivateMod);
const DWORD kSpawnerMenuKey = holdout_test::DefaultKey(&Settings::SpawnerMenu);
const DWORD kSelectOneKey = holdout_test::DefaultSelectKey(1);

// The plug-in's game folder, made new and set as the working directory: its settings turn Debug
// on, so that F2 puts a banner over the run, and its log takes the position F2 writes. It is
// removed when the program ends.
sim::ScratchDirectory MakeGameFolder() {
  std::string error;
  std::optional<sim::ScratchDirectory> folder =
      sim::ScratchDirectory::Create("holdout-bench", error);
  if (!folder) {
    std::fprintf(stderr, "cannot make a game folder: %s\n", error.c_str());
    std::exit(3);
  }
  std::ofstream(folder->Path() / "Holdout.ini", std::ios::binary) << "[Main]\nDebug=1\n";
  std::filesystem::current_path(folder->Path());
  return std::move(*folder);
}

}  // namespace

sim::SimHost& PluginAt(PluginStage target) {
  static const sim::ScratchDirectory kFolder = MakeGameFolder();
  static sim::SimHost* const kHost = [] {
    auto* started = new sim::SimHost;
    started->SetExecutablePath((kFolder.Path() / "Host.exe").string());
    started->SetFrameDuration(16);
    started->Load(&DllMain);
    started->RunFrame();
    return started;
  }();
  static PluginStage stage = PluginStage::kIdle;
  sim::SimHost& h = *kHost;
  while (stage < target) {
    switch (stage) {
      case PluginStage::kIdle:  // the EXPLOSIVES menu opens
        h.TapKey(kSpawnerMenuKey);
        h.RunFrames(2);
        stage = PluginStage::kMenuOpen;
        break;
      case PluginStage::kMenuOpen:  // its first row is picked: a small explosive is held
        h.TapKey(kSelectOneKey);
        h.RunFrames(5);
        stage = PluginStage::kPlacement;
        break;
      case PluginStage::kPlacement: {
        // The placement is cancelled and a run starts at the starting position, where nothing
        // wounds the player; then frames of 100 ms, one run tick each, fill every enemy slot.
        h.TapKey(kSpawnerMenuKey);
        h.RunFrames(2);
        h.GetWorld().hitChancePercent = 0;
        const Vector3& start = ObservePlugin().settings.PlayerStartingPosition;
        h.GetWorld().player.position = {start.x, start.y, start.z};
        h.TapKey(kActivateKey);
        h.RunFrames(2);
        h.SetFrameDuration(100);
        h.RunFrames(2 * static_cast<std::uint32_t>(ObservePlugin().settings.MaxEnemies) + 50);
        stage = PluginStage::kRun;
        break;
      }
      case PluginStage::kRun:
        // F2 shows "Position saved!" for a second of tick count. The tick count is moved far
        // ahead and then held still, so the banner never expires, and the run's deadline, left
        // far behind, keeps one run tick due in every frame as it catches up.
        h.SetFrameDuration(0);
        h.SetTickCount(h.TickCount() + 0x40000000u);
        h.TapKey(kPositionCaptureKey);
        h.RunFrame();
        stage = PluginStage::kRunWithBanner;
        break;
      case PluginStage::kRunWithBanner:
        break;
    }
  }
  return h;
}

std::size_t CopyOpenMenuCaptions() {
  if (frameLoop.menuPage == 0) {
    return 0;
  }
  const Menu& menu = *frameLoop.menus[frameLoop.menuPage - 1];
  std::size_t characters = menu.title->GetCaption().size();
  for (std::size_t row = 0; row < menu.items.size() && row < kMenuRowLimit; ++row) {
    characters += menu.items[row]->GetCaption().size();
  }
  return characters;
}

void WaitingScript() {
  for (;;) {
    scriptWait(0);
  }
}

}  // namespace holdout_bench
