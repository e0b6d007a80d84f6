// The survival run's lifecycle: the activation key starts a run at the starting position (or
// first brings the player there), run ticks service the enemy slots and watch for the player's
// death, and the end of a run shows and logs its summary and deletes its enemies.
#include "survival/run.h"

#include <utility>

#include "runtime/host.h"
#include "runtime/native.h"
#include "runtime/natives.h"
#include "runtime/screen.h"
#include "settings/log.h"
#include "settings/settings.h"
#include "spawner/placement.h"
#include "survival/enemies.h"
#include "survival/hud.h"
#include "survival/sweep.h"

RunState runState;

namespace {

constexpr NativeHash kGetDistanceBetweenPoints = 0x0BE7F4E3CDBAFB28;
constexpr NativeHash kIsPlayerDead = 0x2E9C3FCB6798F397;
constexpr NativeHash kPrepareSound = 0x0F2A2175734926D8;
constexpr NativeHash kPlaySound = 0x67C540AA08E4A6F5;
// The four calls that end every run tick. The game keeps what they govern to itself: the
// plug-in relies on nothing they do, and the simulated game checks only their arguments.
constexpr NativeHash kRunTickCallA = 0x55F37F5F3F2475E1;     // no arguments
constexpr NativeHash kSetPlayerValueA = 0x093A9D1F72DF0D19;  // a value of the player's, set to 0
constexpr NativeHash kSetPlayerValueB = 0xA80FF73F772ACF6A;  // another, set to 0
constexpr NativeHash kSetGlobalFloatA = 0xD7FA719CB54866C2;  // a game-wide value, set to 0.0

constexpr float kStartRadius = 100.0f;
constexpr std::uint32_t kSummaryShownMs = 6000;
constexpr const char* kStartSoundName = "NAV_RIGHT";
constexpr const char* kStartSoundSet = "HUD_SHOP_SOUNDSET";

// The start-of-run sound.
void PlayStartSound() {
  native::Invoke(kPrepareSound, kStartSoundName, kStartSoundSet);
  native::Invoke(kPlaySound, kStartSoundName, kStartSoundSet, 1, 0);
}

// Begins a run when none is active and the player's ped is alive. The sweep leaves no ped of an
// earlier run, so the enemy slot table starts empty.
void StartRun() {
  if (runState.runActive || IsPedDead(GetPlayerPed())) {
    return;
  }
  runState.runActive = true;
  PlayStartSound();
  runState.killCount = 0;
  // A start tick of 0 means "no timed run"; a run that starts as the tick count passes 0 is
  // stamped 1 instead, so its time still shows.
  const std::uint32_t now = GetTickCount();
  runState.startTick = now == 0 ? 1 : now;
  runState.startGameTime = GetGameTimeMs();
  SweepPeds();
  EmptyEnemySlots();
}

// The fixed player calls made on every run tick.
void ResetPlayerOnTick() {
  const std::int32_t player = GetPlayer();
  native::Invoke(kRunTickCallA);
  native::Invoke(kSetPlayerValueA, player, 0);
  native::Invoke(kSetPlayerValueB, player, 0);
  native::Invoke(kSetGlobalFloatA, 0.0f);
}

// Resets the run record and deletes the run's enemies.
void ClearRun() {
  if (!runState.runActive) {
    return;
  }
  runState.startTick = 0;
  runState.startGameTime = 0;
  runState.runActive = false;
  ClearEnemySlots();
}

// Ends the run: cancels a placement, shows and logs the summary. The summary is built before
// ClearRun stops the run's clock (or the time would read 0:00) and then moved, never copied: an
// allocation that fails while it is built leaves the run active, to end at the next run tick,
// and once the run is cleared nothing allocates before the banner holds the summary, so a
// failure after that can cost only the log's own write.
void EndRun() {
  CancelPlacement();
  SummaryText summary = BuildSummaryText();
  ClearRun();
  ShowNotification(*notification, std::move(summary.bannerForm), kSummaryShownMs);
  WriteLog(std::move(summary.logForm));
}

}  // namespace

void OnActivateKey() {
  if (runState.runActive) {
    if (settings.Debug) {
      EndRun();
    }
    return;
  }
  const Vector3 position = GetEntityCoords(GetPlayerPed());
  const Vector3& start = settings.PlayerStartingPosition;
  const float distance = native::Invoke<float>(kGetDistanceBetweenPoints, position.x, position.y,
                                               position.z, start.x, start.y, start.z, 1);
  if (distance <= kStartRadius) {
    StartRun();
    return;
  }
  TeleportEntity(GetPlayerPed(), start.x, start.y, start.z, 0, 0, 0, 0);
}

void ForgetRun() {
  runState = RunState{};
}

void RunTick() {
  const std::uint32_t slot = runState.slotCursor % static_cast<std::uint32_t>(settings.MaxEnemies);
  ServiceEnemySlot(static_cast<std::int32_t>(slot), runState.killCount);
  ++runState.slotCursor;
  if (runState.runActive && native::Invoke<bool>(kIsPlayerDead, GetPlayer())) {
    EndRun();
  }
  ResetPlayerOnTick();
}
