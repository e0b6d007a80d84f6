// The simulated script host's mechanics: loading, the frame cycle, clocks, keys, native
// dispatch and fault reporting.
#include "core/sim_host.h"

#include <cstring>
#include <filesystem>

#include "core/call_trace.h"
#include "core/contract_check.h"
#include "core/number_locale.h"
#include "core/script_context.h"
#include "game/game_natives.h"

namespace sim {

namespace {

SimHost* currentHost = nullptr;

// The module handle given to the plug-in: any stable address does.
HINSTANCE__ pluginModule{};

// Script contexts of unloaded plug-ins. A game never tears down a script's stack before the
// process ends, and the plug-in relies on that: what its frames own is never freed. So the
// stacks are kept, reachable, for the life of the process.
void RetireScriptContext(std::unique_ptr<ScriptContext> context) {
  static auto* retired = new std::vector<std::unique_ptr<ScriptContext>>();
  if (context) {
    retired->push_back(std::move(context));
  }
}

// True on the thread that runs frames, and so the script; key messages may come from others.
thread_local bool onFrameThread = false;
// How deep the frame thread is in host and Win32 functions the script called. Only the frame
// thread counts it, and others read it only behind onFrameThread, so relaxed loads and stores
// do; a thread-local count would cost a call into the C runtime's emulated thread-local storage
// on every host call of the Windows build.
std::atomic<int> hostCodeDepth{0};
// What the entry gets as its reserved argument when the process ends: any non-null pointer.
int processExitMarker = 0;

}  // namespace

SimHost::SimHost() {
  currentHost = this;
  std::error_code error;
  const std::filesystem::path directory = std::filesystem::current_path(error);
  executablePath_ = (directory / "Host.exe").string();
  tempFolder_ = std::filesystem::temp_directory_path(error).string();
  InstallGameNatives(*this);
}

SimHost::~SimHost() {
  if (decimalCommaSet_) {
    SetClassicLocale();
  }
  RetireScriptContext(std::move(context_));
  if (currentHost == this) {
    currentHost = nullptr;
  }
}

SimHost* SimHost::Current() {
  return currentHost;
}

void SimHost::Load(PluginEntry entry) {
  entry_ = entry;
  exitDetachBegan_ = false;
  entry_(&pluginModule, DLL_PROCESS_ATTACH, nullptr);
}

void SimHost::Unload() {
  if (entry_ != nullptr) {
    entry_(&pluginModule, DLL_PROCESS_DETACH, nullptr);
  }
}

void SimHost::ExitProcess() {
  if (entry_ == nullptr || exitDetachBegan_) {
    return;
  }
  BeginExitDetach();
  entry_(&pluginModule, DLL_PROCESS_DETACH, &processExitMarker);
  world_.RemoveScriptPeds();
  RetireScriptContext(std::move(context_));
  scriptMain_ = nullptr;
  keyboardHandler_.store(nullptr);
}

void SimHost::RestartScript() {
  if (scriptMain_ == nullptr || exitDetachBegan_) {
    return;
  }
  world_.RemoveScriptPeds();
  RetireScriptContext(std::move(context_));
  context_ = std::make_unique<ScriptContext>(&RunScriptFunction);
  ++scriptStarts_;
  stuck_ = false;
}

void SimHost::RunScriptFunction() {
  void (*scriptMain)() = currentHost != nullptr ? currentHost->scriptMain_ : nullptr;
  if (scriptMain == nullptr) {
    return;
  }
  try {
    scriptMain();
  } catch (const std::exception& error) {
    const HostCode host;
    currentHost->Fault(std::string("an exception left the script function: ") + error.what());
  }
}

bool SimHost::InPluginCode() {
  return onFrameThread && hostCodeDepth.load(std::memory_order_relaxed) == 0;
}

SimHost::HostCode::HostCode() {
  hostCodeDepth.store(hostCodeDepth.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}

SimHost::HostCode::~HostCode() {
  hostCodeDepth.store(hostCodeDepth.load(std::memory_order_relaxed) - 1, std::memory_order_relaxed);
}

void SimHost::NoteHostFunction(const char* function) {
  if (exitDetachBegan_) {
    Fault(std::string(function) + " called after the process-exit detach began, in frame " +
          std::to_string(frame_));
  }
}

HMODULE SimHost::Module() const {
  return &pluginModule;
}

void SimHost::RunFrame() {
  ++frame_;
  tick_.fetch_add(frameMs_, std::memory_order_relaxed);
  gameTime_ += frameMs_;
  if (frameHook_) {
    frameHook_();
  }
  world_.Advance(frameMs_);
  screen_.BeginFrame(frame_);
  if (!context_ || stuck_ || exitDetachBegan_) {
    return;
  }
  hostCallsThisFrame_ = 0;
  // The script yields only from scriptWait, which is no host code, or when abandoned.
  hostCodeDepth.store(0, std::memory_order_relaxed);
  onFrameThread = true;
  context_->Resume();
  onFrameThread = false;
  if (context_->Finished()) {
    Fault("the script function returned in frame " + std::to_string(frame_));
    context_.reset();
  }
}

std::unique_ptr<ScriptContext> SimHost::SwapScriptContext(std::unique_ptr<ScriptContext> context) {
  context_.swap(context);
  return context;
}

void SimHost::RunFrames(std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) {
    RunFrame();
  }
}

void SimHost::PressKey(DWORD key, bool withAlt) {
  keyboard_.Press(key, withAlt);
}

bool SimHost::RepeatKey(DWORD key, WORD repeats) {
  return keyboard_.Repeat(key, repeats);
}

void SimHost::ReleaseKey(DWORD key, bool withAlt) {
  keyboard_.Release(key, withAlt);
}

void SimHost::TapKey(DWORD key) {
  PressKey(key);
  ReleaseKey(key);
}

void SimHost::SendKeyMessage(DWORD key, WORD repeats, BYTE scanCode, BOOL isExtended,
                             BOOL isWithAlt, BOOL wasDownBefore, BOOL isUpNow) {
  keyboard_.Send({key, repeats, scanCode, isExtended, isWithAlt, wasDownBefore, isUpNow});
}

void SimHost::DeliverKeyMessage(const KeyStroke& stroke) {
  const KeyboardHandler handler = keyboardHandler_.load();
  if (handler != nullptr && !exitDetachBegan_) {
    handler(stroke.key, stroke.repeats, stroke.scanCode, stroke.isExtended, stroke.withAlt,
            stroke.wasDown, stroke.isUp);
  }
}

bool SimHost::SetDecimalCommaLocale() {
  decimalCommaSet_ = decimalCommaSet_ || sim::SetDecimalCommaLocale();
  return decimalCommaSet_;
}

void SimHost::Fault(std::string message) {
  if (faultEcho_ != nullptr) {
    std::fprintf(faultEcho_, "fault %s\n", message.c_str());
    std::fflush(faultEcho_);
  }
  faults_.push_back(std::move(message));
}

void SimHost::OnScriptRegister(HMODULE, void (*scriptMain)()) {
  events_.push_back({HostEvent::kScriptRegistered, frame_});
  scriptMain_ = scriptMain;
  RetireScriptContext(std::move(context_));
  context_ = std::make_unique<ScriptContext>(&RunScriptFunction);
  ++scriptStarts_;
  stuck_ = false;
}

void SimHost::OnScriptUnregister(HMODULE) {
  events_.push_back({HostEvent::kScriptUnregistered, frame_});
  if (context_ && context_->InScript()) {
    Fault("scriptUnregister called from the script itself");
    return;
  }
  RetireScriptContext(std::move(context_));
  scriptMain_ = nullptr;
}

void SimHost::OnKeyboardHandlerRegister(KeyboardHandler handler) {
  events_.push_back({HostEvent::kKeyboardHandlerRegistered, frame_});
  keyboardHandler_.store(handler);
}

void SimHost::OnKeyboardHandlerUnregister(KeyboardHandler handler) {
  events_.push_back({HostEvent::kKeyboardHandlerUnregistered, frame_});
  KeyboardHandler expected = handler;
  if (!keyboardHandler_.compare_exchange_strong(expected, nullptr)) {
    Fault("keyboardHandlerUnregister with a handler that was not registered");
  }
}

void SimHost::OnScriptWait(DWORD time) {
  if (!context_ || !context_->InScript()) {
    Fault("scriptWait called outside the script context");
    return;
  }
  if (time != 0) {
    Fault("scriptWait(" + std::to_string(time) + "): the plug-in only ever waits for 0 ms");
  }
  context_->Yield();
}

void SimHost::OnNativeInit(UINT64 hash) {
  CountHostCall();
  if (callPending_) {
    Fault("nativeInit(" + natives_.NameOf(hash) + ") while a call to " +
          natives_.NameOf(pendingHash_) + " was still being built");
  }
  pendingHash_ = hash;
  pendingCount_ = 0;
  callPending_ = true;
}

void SimHost::OnNativePush64(UINT64 value) {
  if (!callPending_) {
    Fault("nativePush64 without nativeInit");
    return;
  }
  if (pendingCount_ == kMaxArguments) {
    Fault("more than 32 arguments pushed for " + natives_.NameOf(pendingHash_));
    return;
  }
  pendingArgs_[pendingCount_++] = value;
}

PUINT64 SimHost::OnNativeCall() {
  std::memset(result_, 0, sizeof result_);
  if (!callPending_) {
    Fault("nativeCall without nativeInit");
    return reinterpret_cast<PUINT64>(result_);
  }
  callPending_ = false;
  calls_.Record(frame_, pendingHash_, pendingArgs_, pendingCount_);
  const NativeEntry* entry = natives_.Find(pendingHash_);
  if (entry == nullptr) {
    Fault("unknown native " + HashText(pendingHash_) + " called in frame " +
          std::to_string(frame_));
    return reinterpret_cast<PUINT64>(result_);
  }
  if (entry->ArgumentWords() != pendingCount_) {
    Fault(entry->name + " takes " + std::to_string(entry->ArgumentWords()) +
          " argument words, got " + std::to_string(pendingCount_));
    return reinterpret_cast<PUINT64>(result_);
  }
  const ArgumentForm* form = KeptForm(entry->contract, pendingArgs_, pendingCount_, world_);
  if (form == nullptr) {
    Fault(entry->name + " " + DescribeBreach(entry->contract, pendingArgs_, pendingCount_, world_) +
          ", in frame " + std::to_string(frame_));
    return reinterpret_cast<PUINT64>(result_);
  }
  RecordRandomArguments(pendingHash_, *entry, *form);
  if (withholdHook_ && withholdHook_(pendingHash_)) {
    if (trace_ != nullptr) {
      WriteTracedCall(trace_, frame_, *entry, *form,
                      NativeCall{pendingArgs_, pendingCount_, nullptr, *this});
    }
    return nullptr;
  }
  if (entry->handler) {
    entry->handler(NativeCall{pendingArgs_, pendingCount_, result_, *this});
  }
  if (!ResultFits(entry->contract.result, result_)) {
    Fault("the simulated game's " + entry->name + " answered outside its contract (" +
          DescribeResult(entry->contract.result) + ")");
  }
  if (answerHook_) {
    answerHook_(pendingHash_, NativeCall{pendingArgs_, pendingCount_, result_, *this});
  }
  if (trace_ != nullptr) {
    WriteTracedCall(trace_, frame_, *entry, *form,
                    NativeCall{pendingArgs_, pendingCount_, result_, *this});
  }
  return reinterpret_cast<PUINT64>(result_);
}

void SimHost::RecordRandomArguments(std::uint64_t hash, const NativeEntry& entry,
                                    const ArgumentForm& form) {
  for (std::size_t i = 0; i < form.size(); ++i) {
    const ArgumentSpec& rule = form[i];
    if (rule.kind != ArgumentKind::kRandomWhole) {
      continue;
    }
    auto record = world_.randomValues.find({hash, i});
    if (record == world_.randomValues.end()) {
      record = world_.randomValues
                   .try_emplace({hash, i}, entry.name + " " + std::string(rule.name),
                                static_cast<std::int32_t>(rule.low),
                                static_cast<std::int32_t>(rule.high), rule.step)
                   .first;
    }
    RandomRange& values = record->second;
    const std::uint32_t bits = static_cast<std::uint32_t>(pendingArgs_[i]);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    values.Add(static_cast<std::int32_t>(value));
    if (values.Samples() % kCoverageSamples == 0 && !values.Covered() && !values.gapReported) {
      values.gapReported = true;
      std::string gaps;
      for (const std::string& gap : values.Gaps()) {
        gaps += (gaps.empty() ? "" : ", ") + gap;
      }
      Fault(values.Label() + ": " + std::to_string(values.Samples()) +
            " random values seen and none in " + gaps);
    }
  }
}

int SimHost::OnWorldGetAllPeds(int* peds, int capacity) {
  CountHostCall();
  if (pedListHook_) {
    if (const std::optional<int> answer = pedListHook_(peds, capacity)) {
      return *answer;
    }
  }
  return world_.ListPeds(peds, capacity);
}

void SimHost::CountHostCall() {
  if (!onFrameThread || !context_ || !context_->InScript()) {
    return;
  }
  if (++hostCallsThisFrame_ <= hostCallBudget_) {
    return;
  }
  Fault("the script made " + std::to_string(hostCallBudget_) + " host calls in frame " +
        std::to_string(frame_) + " without yielding: it never calls scriptWait");
  stuck_ = true;
  context_->Yield();
}

}  // namespace sim
