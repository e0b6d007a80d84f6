// The simulated host's faults, one row each: the kind, the name the soak and the sweeps give it,
// where it strikes (a native, a function of the script host, a Win32 function, the plug-in's
// heap, the keyboard, the world), what it does there, the scene a session needs to meet it and
// the sweeps' sessions that reach it (the Win32 functions' kinds in a game folder whose settings
// file is past the profile functions' limit, read through a copy in the temp folder, so that
// each of those functions is called). Every kind strikes on a countdown (core/fault_injector.h):
// the Nth event of the kind goes wrong, and every later one when the fault is persistent; the
// soak chooses by chance which kind to arm, when and with which N. The soak, the sweeps and the
// tests read this one table.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace sim {

enum class FaultKind {
  kCreationFails,
  kModelUnavailable,
  kModelInvalid,
  kModelNeverLoads,
  kPedListFull,
  kRotationNaN,
  kRotationHuge,
  kPlayerDies,
  kTickJump,
  kTickWrap,
  kPedListEmpty,
  kPedCountNegative,
  kPedCountOverCapacity,
  kFocusLost,
  kSweepPedVanishes,
  kSweepPedReplaced,
  kSweepPedJoinsGroup,
  kEnemyVanishes,
  kEnemyCleanedUp,
  kHeldObjectVanishes,
  kScriptRestart,
  kProcessExit,
  kAllocationFails,
  kNullResult,
  kHandleWrittenWide,
  kModulePathFails,
  kTempPathFails,
  kTempFileFails,
  kCopyFails,
  kCopyNotDeleted,
  kOnlineOnlySettings,
  kWorkingFolderRefusesWrites,
  kEveryFolderRefusesWrites,
  kVolumeWithoutAccessLists,
  kWorkingFolderElsewhere,
};

// Where a fault strikes.
enum class FaultSite {
  kNative,        // a native, as the game answers it
  kHostFunction,  // a function of the script host, or the host itself between frames
  kWin32,         // a Win32 function of the simulated system
  kHeap,          // an allocation of the plug-in's own code
  kKeyboard,      // the keyboard and the game window's focus
  kWorld,         // the world, going its own way between frames
};

// When the soak plays a kind: by default (a calm world), with its live world, or only when its
// --faults names it.
enum class FaultScene {
  kCalm,   // any world
  kLive,   // a world that lives (strangers about, the player's group) and a host that restarts
           // the script or ends the process
  kNamed,  // a host built by others, or the player's machine and its files
};

// The sweeps' sessions that reach a kind, as a mask.
enum FaultSessions : unsigned {
  kNoSession = 0u,        // no sweep: the kind's own tests play it
  kSurvivalSession = 1u,  // runs, enemies, the player's death
  kSpawnerSession = 2u,   // the menus, objects held, turned and set down, during a run
  kBothSessions = 3u,
};

struct FaultRow {
  FaultKind kind;
  std::string_view name;     // for the soak's --faults and report, and the sweeps' cases
  FaultSite site;
  std::string_view strikes;  // what goes wrong, and where
  FaultScene scene;
  unsigned sessions;         // FaultSessions
};

// Every kind, in the order the soak draws them from: the soak's seeded sessions depend on it,
// so a new row goes at the end.
inline constexpr std::array<FaultRow, 35> kFaultRows = {{
    {FaultKind::kCreationFails, "creation-fails", FaultSite::kNative,
     "CreatePed, SpawnObject and SpawnVehicle answer 0 and create nothing", FaultScene::kCalm,
     kBothSessions},
    {FaultKind::kModelUnavailable, "model-unavailable", FaultSite::kNative,
     "IsModelAvailable answers 0", FaultScene::kCalm, kBothSessions},
    {FaultKind::kModelInvalid, "model-invalid", FaultSite::kNative, "IsModelValid answers 0",
     FaultScene::kCalm, kBothSessions},
    {FaultKind::kModelNeverLoads, "model-never-loads", FaultSite::kNative,
     "HasModelLoaded answers 0 (persistent: the model never loads)", FaultScene::kCalm,
     kBothSessions},
    {FaultKind::kPedListFull, "ped-list-full", FaultSite::kHostFunction,
     "worldGetAllPeds finds the world crowded to the list's capacity", FaultScene::kCalm,
     kBothSessions},
    {FaultKind::kRotationNaN, "rotation-nan", FaultSite::kNative, "GetRotation's heading is NaN",
     FaultScene::kCalm, kSpawnerSession},
    {FaultKind::kRotationHuge, "rotation-huge", FaultSite::kNative,
     "GetRotation's heading is 1e30", FaultScene::kCalm, kSpawnerSession},
    {FaultKind::kPlayerDies, "player-dies", FaultSite::kNative,
     "the player dies just before IsPlayerDead answers", FaultScene::kCalm, kBothSessions},
    {FaultKind::kTickJump, "tick-jump", FaultSite::kHostFunction,
     "the tick count leaps a day ahead at a frame", FaultScene::kCalm, kBothSessions},
    {FaultKind::kTickWrap, "tick-wrap", FaultSite::kHostFunction,
     "the tick count is set 1 s short of its wrap at a frame", FaultScene::kCalm, kBothSessions},
    {FaultKind::kPedListEmpty, "ped-list-empty", FaultSite::kHostFunction,
     "worldGetAllPeds answers 0 and writes nothing", FaultScene::kCalm, kBothSessions},
    {FaultKind::kPedCountNegative, "ped-count-negative", FaultSite::kHostFunction,
     "worldGetAllPeds answers -1, as for an error, and writes nothing", FaultScene::kCalm,
     kBothSessions},
    {FaultKind::kPedCountOverCapacity, "ped-count-over-capacity", FaultSite::kHostFunction,
     "the world holds more peds than the list's capacity: worldGetAllPeds fills the list and "
     "answers how many there are",
     FaultScene::kCalm, kBothSessions},
    {FaultKind::kFocusLost, "focus-lost", FaultSite::kKeyboard,
     "at a frame while a key is down, the game's window loses the focus for kFocusAwayFrames "
     "frames: no key-up comes for the keys down, nor any message meanwhile",
     FaultScene::kCalm, kSpawnerSession},
    {FaultKind::kSweepPedVanishes, "sweep-ped-vanishes", FaultSite::kWorld,
     "at a frame while a ped the sweep listed (outside the player's group) is about, the last "
     "such ped leaves the world",
     FaultScene::kLive, kBothSessions},
    {FaultKind::kSweepPedReplaced, "sweep-ped-replaced", FaultSite::kWorld,
     "as sweep-ped-vanishes, and its handle at once names a new stranger", FaultScene::kLive,
     kBothSessions},
    {FaultKind::kSweepPedJoinsGroup, "sweep-ped-joins-group", FaultSite::kWorld,
     "as sweep-ped-vanishes, and its handle at once names a new ped of the player's group",
     FaultScene::kLive, kBothSessions},
    {FaultKind::kEnemyVanishes, "enemy-vanishes", FaultSite::kWorld,
     "at a frame while a living enemy is about, the first one leaves the world",
     FaultScene::kLive, kBothSessions},
    {FaultKind::kEnemyCleanedUp, "enemy-cleaned-up", FaultSite::kWorld,
     "at a frame while a living enemy is about, the first one dies and is cleared away, its "
     "handle at once naming a ped of the player's group",
     FaultScene::kLive, kBothSessions},
    {FaultKind::kHeldObjectVanishes, "held-object-vanishes", FaultSite::kWorld,
     "at a frame while the player is held still, the last object created leaves",
     FaultScene::kLive, kSpawnerSession},
    {FaultKind::kScriptRestart, "script-restart", FaultSite::kHostFunction,
     "at a frame whose plug-in state differs from the last frame's, the host starts the script "
     "function again",
     FaultScene::kLive, kBothSessions},
    {FaultKind::kProcessExit, "process-exit", FaultSite::kHostFunction,
     "at a frame whose plug-in state differs from the last frame's, the process exits",
     FaultScene::kLive, kBothSessions},
    {FaultKind::kAllocationFails, "allocation-fails", FaultSite::kHeap,
     "an allocation of the plug-in's own code throws std::bad_alloc", FaultScene::kLive,
     kBothSessions},
    {FaultKind::kNullResult, "null-result", FaultSite::kHostFunction,
     "a native call is not run and nativeCall answers a null result area", FaultScene::kNamed,
     kNoSession},
    {FaultKind::kHandleWrittenWide, "handle-written-wide", FaultSite::kNative,
     "DeletePed, ReleasePed or RemoveObject, given a handle variable's address, writes it back "
     "as 64 bits",
     FaultScene::kNamed, kNoSession},
    {FaultKind::kModulePathFails, "module-path-fails", FaultSite::kWin32,
     "GetModuleFileNameW answers 0: the game's folder is not known", FaultScene::kNamed,
     kSurvivalSession},
    {FaultKind::kTempPathFails, "temp-path-fails", FaultSite::kWin32,
     "GetTempPathW answers 0: no temp folder", FaultScene::kNamed, kSurvivalSession},
    {FaultKind::kTempFileFails, "temp-file-fails", FaultSite::kWin32,
     "GetTempFileNameW answers 0: the temp folder takes no new file", FaultScene::kNamed,
     kSurvivalSession},
    {FaultKind::kCopyFails, "copy-fails", FaultSite::kWin32,
     "CopyFileW answers 0: the disk is full", FaultScene::kNamed, kSurvivalSession},
    {FaultKind::kCopyNotDeleted, "copy-not-deleted", FaultSite::kWin32,
     "DeleteFileW answers 0: another program (a virus scanner) holds the file open",
     FaultScene::kNamed, kSurvivalSession},
    {FaultKind::kOnlineOnlySettings, "online-only-settings", FaultSite::kWin32,
     "GetPrivateProfileIntW and GetPrivateProfileStringW find no file: the settings file is "
     "online-only and the machine offline",
     FaultScene::kNamed, kSurvivalSession},
    {FaultKind::kWorkingFolderRefusesWrites, "working-folder-refuses-writes", FaultSite::kWin32,
     "CreateFileW refuses a file of the working folder (Program Files for a standard user, a "
     "store install, a protected folder refusing the game's program, Holdout.log kept online "
     "only): the log's line goes to %LOCALAPPDATA%\\Holdout",
     FaultScene::kNamed, kBothSessions},
    {FaultKind::kEveryFolderRefusesWrites, "every-folder-refuses-writes", FaultSite::kWin32,
     "CreateFileW refuses every file: the log's line reaches no log, and F2's banner says the "
     "position was not saved",
     FaultScene::kNamed, kBothSessions},
    {FaultKind::kVolumeWithoutAccessLists, "volume-without-access-lists", FaultSite::kWin32,
     "CreateFileW finds the working folder on a volume without access lists (a FAT32 or exFAT "
     "drive, a network share), where nothing but the share and a file's read-only attribute "
     "refuse a write: its share is read-only for the call, so no new file is made there and "
     "Holdout.log there shows the read-only attribute from then on; the log's line goes to "
     "%LOCALAPPDATA%\\Holdout",
     FaultScene::kNamed, kBothSessions},
    {FaultKind::kWorkingFolderElsewhere, "working-folder-elsewhere", FaultSite::kWin32,
     "a path relative to the working folder names a file of another folder, as for a game a "
     "launcher started there: Holdout.ini is still read from the game's folder, and Holdout.log "
     "is written in that other folder",
     FaultScene::kNamed, kBothSessions},
}};

// The row of `kind`.
constexpr const FaultRow& RowOf(FaultKind kind) {
  for (const FaultRow& row : kFaultRows) {
    if (row.kind == kind) {
      return row;
    }
  }
  return kFaultRows.front();  // never: every kind has its row, as checked below
}

// The kind's name, for messages ("creation-fails", ...).
constexpr std::string_view FaultKindName(FaultKind kind) {
  return RowOf(kind).name;
}

// Every kind has exactly one row.
constexpr bool EveryKindHasOneRow() {
  for (std::size_t kind = 0; kind < kFaultRows.size(); ++kind) {
    std::size_t rows = 0;
    for (const FaultRow& row : kFaultRows) {
      rows += static_cast<std::size_t>(row.kind) == kind ? 1 : 0;
    }
    if (rows != 1) {
      return false;
    }
  }
  return true;
}
static_assert(EveryKindHasOneRow(), "every fault kind is one row of kFaultRows");

}  // namespace sim
