// The simulated script host: it loads the plug-in, runs its script one frame at a time on a
// script context of its own, owns the tick count and the game clock, delivers key messages,
// dispatches native calls to the simulated game and records them, and records the screen.
// Exactly one SimHost exists at a time; the host functions the plug-in imports reach it
// through SimHost::Current().
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/call_recorder.h"
#include "core/code_page.h"
#include "core/native_table.h"
#include "core/screen_recorder.h"
#include "core/short_names.h"
#include "core/windows_keyboard.h"
#include "game/world.h"
#include "runtime/host.h"

namespace sim {

class ScriptContext;

// The plug-in's DllMain.
using PluginEntry = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);

enum class HostEvent {
  kScriptRegistered,
  kScriptUnregistered,
  kKeyboardHandlerRegistered,
  kKeyboardHandlerUnregistered,
};

struct HostEventRecord {
  HostEvent event;
  std::uint32_t frame;
};

class SimHost {
 public:
  // A new host with the simulated game's natives installed; becomes the current host.
  SimHost();
  ~SimHost();
  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;

  // The host the plug-in's imports talk to; null when none exists.
  static SimHost* Current();

  // ---- Loading
  // Calls the plug-in's entry with DLL_PROCESS_ATTACH, as Windows does on LoadLibrary.
  void Load(PluginEntry entry);
  // Calls the entry with DLL_PROCESS_DETACH, as FreeLibrary does.
  void Unload();
  // Ends the process while the plug-in is loaded: the entry gets DLL_PROCESS_DETACH with a
  // non-null reserved argument, as at process termination, and from then on no frame runs, no
  // key message arrives and every host function called is a fault. The peds the script held
  // go with the game. Load starts a new process.
  void ExitProcess();
  bool ProcessExited() const { return exitDetachBegan_; }
  // Marks the process-exit detach as begun where the system itself detaches the plug-in (the
  // stand-in game calling ExitProcess): every host function called from then on is a fault.
  void BeginExitDetach() { exitDetachBegan_ = true; }
  // The host starts the script function again on a new script context, as when the game
  // reloads: the peds the script held are gone with the old game, the old context is never
  // resumed, and the new one starts in the next frame.
  void RestartScript();
  // The module handle the plug-in was given.
  HMODULE Module() const;
  // Registrations and unregistrations, in the order they came.
  const std::vector<HostEventRecord>& Events() const { return events_; }
  // How often a script function was started on a new script context: at each registration and
  // each restart.
  std::uint64_t ScriptStarts() const { return scriptStarts_; }

  // ---- Frames
  // Advances the clocks by one frame and resumes the script until its next scriptWait.
  void RunFrame();
  void RunFrames(std::uint32_t count);
  // Frames run so far; the first RunFrame runs frame 1.
  std::uint32_t Frame() const { return frame_; }
  // True once the script was abandoned because it never yielded.
  bool ScriptStuck() const { return stuck_; }
  // Host calls one frame may make before the script counts as never yielding.
  void SetHostCallBudget(std::uint32_t calls) { hostCallBudget_ = calls; }

  // Puts `context` in the place of the script's context and returns the one it replaced: the
  // next frames resume it instead, under the same host, world and bookkeeping, and swapping the
  // first back resumes that script where it stopped. A benchmark times other code this way in
  // exactly the conditions of the plug-in's frames.
  std::unique_ptr<ScriptContext> SwapScriptContext(std::unique_ptr<ScriptContext> context);

  // ---- Clocks
  std::uint32_t TickCount() const { return tick_.load(std::memory_order_relaxed); }
  void SetTickCount(std::uint32_t ms) { tick_.store(ms, std::memory_order_relaxed); }
  std::uint32_t GameTime() const { return gameTime_; }
  void SetGameTime(std::uint32_t ms) { gameTime_ = ms; }
  std::uint32_t FrameDuration() const { return frameMs_; }
  void SetFrameDuration(std::uint32_t ms) { frameMs_ = ms; }

  // ---- Keyboard (any thread), as Windows reports it to the game's window
  // (core/windows_keyboard.h): only the key pressed last auto-repeats, Alt held makes system-key
  // messages, and a window without the focus gets nothing.
  // The key goes down (`withAlt`: an Alt key is held besides) and becomes the one that repeats.
  void PressKey(DWORD key, bool withAlt = false);
  // The keyboard's auto-repeat of `key`, one message for `repeats` repeats: sent only while the
  // key is down and the last one pressed; false when nothing was sent.
  bool RepeatKey(DWORD key, WORD repeats = 1);
  void ReleaseKey(DWORD key, bool withAlt = false);
  // A press and a release between two frames.
  void TapKey(DWORD key);
  // A message exactly as given, when the window has the focus.
  void SendKeyMessage(DWORD key, WORD repeats, BYTE scanCode, BOOL isExtended, BOOL isWithAlt,
                      BOOL wasDownBefore, BOOL isUpNow);
  // The game's window loses or gains the keyboard focus (the player switching to another window
  // and back): no key-up comes for the keys still down, nor any message while it is away.
  void SetWindowFocused(bool focused) { keyboard_.SetFocused(focused); }
  bool WindowFocused() const { return keyboard_.Focused(); }
  bool AnyKeyDown() const { return keyboard_.AnyKeyDown(); }
  bool KeyboardHandlerRegistered() const { return keyboardHandler_.load() != nullptr; }

  // ---- The simulated game
  NativeTable& Natives() { return natives_; }
  CallRecorder& Calls() { return calls_; }
  const CallRecorder& Calls() const { return calls_; }
  ScreenRecorder& Screen() { return screen_; }
  World& GetWorld() { return world_; }

  // ---- Hooks for fault injection (one each; an empty function removes it)
  // Runs at the start of every frame, after the clocks advanced, before the script resumes.
  void SetFrameHook(std::function<void()> hook) { frameHook_ = std::move(hook); }
  // Runs after every native call the game answered, and may change the answer: a game that
  // answers outside what the contracts promise, which the plug-in must survive.
  void SetAnswerHook(std::function<void(std::uint64_t hash, const NativeCall& call)> hook) {
    answerHook_ = std::move(hook);
  }
  // Runs before the game answers a call that keeps its contract; true makes the host run no
  // native and answer with a null result area.
  void SetWithholdHook(std::function<bool(std::uint64_t hash)> hook) {
    withholdHook_ = std::move(hook);
  }
  // Runs when the plug-in asks for the world's peds, with the list and the capacity it offers.
  // An answer it gives is what the host returns, the list holding what the hook wrote into it;
  // without one the host lists the world's peds.
  void SetPedListHook(std::function<std::optional<int>(int* peds, int capacity)> hook) {
    pedListHook_ = std::move(hook);
  }

  // ---- The native-call trace (core/call_trace.h): every answered call, as it is made, to
  // `out`; nullptr stops it. The caller keeps the stream open while it is set.
  void SetCallTrace(std::FILE* out) { trace_ = out; }

  // ---- Files
  // The path GetModuleFileNameW reports for the host executable, in UTF-8.
  const std::string& ExecutablePath() const { return executablePath_; }
  void SetExecutablePath(std::string path) { executablePath_ = std::move(path); }
  // The folder GetTempPathW reports, in UTF-8: the system's temporary directory at first.
  const std::string& TempFolder() const { return tempFolder_; }
  void SetTempFolder(std::string folder) { tempFolder_ = std::move(folder); }
  // The ANSI code page the wide profile functions read a file without a byte-order mark in
  // (core/code_page.h).
  unsigned AnsiCodePage() const { return ansiCodePage_; }
  void SetAnsiCodePage(unsigned codePage) { ansiCodePage_ = codePage; }
  // The short (8.3) names the simulated file system gave its entries; none at first.
  ShortNames& FileShortNames() { return shortNames_; }
  const ShortNames& FileShortNames() const { return shortNames_; }

  // ---- The process's locale (core/number_locale.h), shared by every module as on Windows
  // Sets it to one whose numbers take a decimal comma, as the game or another plug-in may; false
  // when the system has none. The host sets "C" back when it goes.
  bool SetDecimalCommaLocale();

  // ---- Faults: anything the plug-in did that the game would not accept.
  void Fault(std::string message);
  const std::vector<std::string>& Faults() const { return faults_; }
  void ClearFaults() { faults_.clear(); }
  // Also writes every later fault to `out` as a line "fault TEXT" at once, for a process that
  // ends before it can report.
  void EchoFaults(std::FILE* out) { faultEcho_ = out; }

  // ---- Entry points of the host functions the plug-in imports.
  void OnScriptRegister(HMODULE module, void (*scriptMain)());
  void OnScriptUnregister(HMODULE module);
  void OnKeyboardHandlerRegister(KeyboardHandler handler);
  void OnKeyboardHandlerUnregister(KeyboardHandler handler);
  void OnScriptWait(DWORD time);
  void OnNativeInit(UINT64 hash);
  void OnNativePush64(UINT64 value);
  PUINT64 OnNativeCall();
  int OnWorldGetAllPeds(int* peds, int capacity);
  // Counts a host call made by the script; abandons a script that never yields.
  void CountHostCall();
  // Every host function records its call: one made after the process-exit detach began is a
  // fault.
  void NoteHostFunction(const char* function);
  // True while the plug-in's own code runs on the frame thread: inside its script function and
  // outside any host or Win32 function it called. What it allocates then is its own.
  static bool InPluginCode();
  // Marks a host or Win32 function's body, which is the host's code and not the plug-in's.
  class HostCode {
   public:
    HostCode();
    ~HostCode();
    HostCode(const HostCode&) = delete;
    HostCode& operator=(const HostCode&) = delete;
  };

 private:
  static constexpr std::size_t kMaxArguments = 32;
  // Values a random argument takes between two checks that they reach every step of its range.
  // A fair draw leaves one of 36 steps empty over 1000 values with a chance below 1 in 10^10.
  static constexpr std::uint64_t kCoverageSamples = 1000;

  // The script context's entry: runs the registered script function and reports an exception
  // that leaves it, which in a game would unwind through the host's frames.
  static void RunScriptFunction();

  // Gives a key message to the plug-in's keyboard handler, if one is registered and the process
  // has not begun to exit.
  void DeliverKeyMessage(const KeyStroke& stroke);

  // Counts the random arguments of the call being made in the world's records; a record whose
  // range still has gaps after each kCoverageSamples values is a fault.
  void RecordRandomArguments(std::uint64_t hash, const NativeEntry& entry,
                             const ArgumentForm& form);

  PluginEntry entry_ = nullptr;
  std::vector<HostEventRecord> events_;
  void (*scriptMain_)() = nullptr;
  std::uint64_t scriptStarts_ = 0;
  std::unique_ptr<ScriptContext> context_;
  std::uint32_t frame_ = 0;
  bool stuck_ = false;
  std::atomic<bool> exitDetachBegan_{false};  // key messages read it from any thread
  std::uint32_t hostCallsThisFrame_ = 0;
  std::uint32_t hostCallBudget_ = 1000000;

  std::atomic<std::uint32_t> tick_{3600000};
  std::uint32_t gameTime_ = 43200000;
  std::uint32_t frameMs_ = 16;

  std::atomic<KeyboardHandler> keyboardHandler_{nullptr};
  WindowsKeyboard keyboard_{[this](const KeyStroke& stroke) { DeliverKeyMessage(stroke); }};

  NativeTable natives_;
  CallRecorder calls_;
  ScreenRecorder screen_;
  World world_;

  std::uint64_t pendingHash_ = 0;
  bool callPending_ = false;
  std::uint64_t pendingArgs_[kMaxArguments] = {};
  std::size_t pendingCount_ = 0;
  std::uint64_t result_[3] = {};

  std::function<void()> frameHook_;
  std::function<std::optional<int>(int*, int)> pedListHook_;
  std::function<void(std::uint64_t, const NativeCall&)> answerHook_;
  std::function<bool(std::uint64_t)> withholdHook_;
  std::FILE* trace_ = nullptr;

  bool decimalCommaSet_ = false;
  std::string executablePath_;
  std::string tempFolder_;
  unsigned ansiCodePage_ = kWesternCodePage;
  ShortNames shortNames_;
  std::vector<std::string> faults_;
  std::FILE* faultEcho_ = nullptr;
};

}  // namespace sim
