// The script context on Linux: ucontext stacks, annotated for AddressSanitizer and
// ThreadSanitizer so that both follow the stack switches.
#include <ucontext.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "core/script_context.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HOLDOUT_SIM_ASAN 1
#endif
#if __has_feature(thread_sanitizer)
#define HOLDOUT_SIM_TSAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define HOLDOUT_SIM_ASAN 1
#endif
#if defined(__SANITIZE_THREAD__)
#define HOLDOUT_SIM_TSAN 1
#endif

#ifdef HOLDOUT_SIM_ASAN
#include <sanitizer/common_interface_defs.h>
#endif
#ifdef HOLDOUT_SIM_TSAN
#include <sanitizer/tsan_interface.h>
#endif

namespace sim {

struct ScriptContext::Impl {
  void (*entry)() = nullptr;
  // Kept as a heap block for the life of the context, so that leak checkers scanning it still
  // see what the script's frames point to. Left uninitialised: a block this large is mapped
  // afresh, so only the pages the script touches take memory, and a session that keeps many
  // retired stacks stays small.
  std::unique_ptr<unsigned char[]> stack;
  std::size_t stackSize = 0;
  ucontext_t hostContext{};
  ucontext_t scriptContext{};
  bool inScript = false;
  bool finished = false;
#ifdef HOLDOUT_SIM_ASAN
  const void* hostStackBottom = nullptr;
  std::size_t hostStackSize = 0;
#endif
#ifdef HOLDOUT_SIM_TSAN
  void* hostFiber = nullptr;
  void* scriptFiber = nullptr;
#endif

  // Switches from the host to the script or back.
  void SwitchToScript() {
#ifdef HOLDOUT_SIM_ASAN
    void* fakeStack = nullptr;
    __sanitizer_start_switch_fiber(&fakeStack, stack.get(), stackSize);
#endif
#ifdef HOLDOUT_SIM_TSAN
    hostFiber = __tsan_get_current_fiber();
    __tsan_switch_to_fiber(scriptFiber, 0);
#endif
    swapcontext(&hostContext, &scriptContext);
#ifdef HOLDOUT_SIM_ASAN
    __sanitizer_finish_switch_fiber(fakeStack, nullptr, nullptr);
#endif
  }

  void SwitchToHost() {
#ifdef HOLDOUT_SIM_ASAN
    void* fakeStack = nullptr;
    __sanitizer_start_switch_fiber(finished ? nullptr : &fakeStack, hostStackBottom, hostStackSize);
#endif
#ifdef HOLDOUT_SIM_TSAN
    __tsan_switch_to_fiber(hostFiber, 0);
#endif
    swapcontext(&scriptContext, &hostContext);
#ifdef HOLDOUT_SIM_ASAN
    __sanitizer_finish_switch_fiber(fakeStack, &hostStackBottom, &hostStackSize);
#endif
  }

  void ArrivedInScript() {
#ifdef HOLDOUT_SIM_ASAN
    __sanitizer_finish_switch_fiber(nullptr, &hostStackBottom, &hostStackSize);
#endif
  }

  static void Trampoline(unsigned int high, unsigned int low) {
    const std::uintptr_t address = (static_cast<std::uintptr_t>(high) << 32) | low;
    Impl* self = reinterpret_cast<Impl*>(address);
    self->ArrivedInScript();
    self->entry();
    self->finished = true;
    self->inScript = false;
    self->SwitchToHost();
  }
};

ScriptContext::ScriptContext(void (*entry)(), std::size_t stackBytes) : impl_(new Impl) {
  impl_->entry = entry;
  impl_->stack.reset(new unsigned char[stackBytes]);
  impl_->stackSize = stackBytes;
  getcontext(&impl_->scriptContext);
  impl_->scriptContext.uc_stack.ss_sp = impl_->stack.get();
  impl_->scriptContext.uc_stack.ss_size = impl_->stackSize;
  impl_->scriptContext.uc_link = nullptr;
  const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(impl_.get());
  makecontext(&impl_->scriptContext, reinterpret_cast<void (*)()>(&Impl::Trampoline), 2,
              static_cast<unsigned int>(address >> 32),
              static_cast<unsigned int>(address & 0xFFFFFFFFu));
#ifdef HOLDOUT_SIM_TSAN
  impl_->scriptFiber = __tsan_create_fiber(0);
#endif
}

ScriptContext::~ScriptContext() {
#ifdef HOLDOUT_SIM_TSAN
  __tsan_destroy_fiber(impl_->scriptFiber);
#endif
}

void ScriptContext::Resume() {
  if (impl_->finished || impl_->inScript) {
    return;
  }
  impl_->inScript = true;
  impl_->SwitchToScript();
}

void ScriptContext::Yield() {
  if (!impl_->inScript) {
    return;
  }
  impl_->inScript = false;
  impl_->SwitchToHost();
}

bool ScriptContext::InScript() const {
  return impl_->inScript;
}

bool ScriptContext::Finished() const {
  return impl_->finished;
}

}  // namespace sim
