// The script context on Windows: a Win32 fiber for the script. The host's thread becomes a
// fiber on the first Resume unless it already is one, and stays one: other contexts created
// later on the same thread keep using it as their host fiber.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "core/script_context.h"

namespace sim {

namespace {

// Without a fiber the script cannot run at all; carrying on would look like a silent script.
[[noreturn]] void FiberFailure(const char* what) {
  std::fprintf(stderr, "script context: %s failed (error %lu)\n", what, GetLastError());
  std::abort();
}

// The fiber the calling thread runs as, making it one first if it is not. GCC 12 takes the
// segment read inside GetCurrentFiber for an out-of-bounds array access, hence the pragma.
void* HostFiber() {
  if (!IsThreadAFiber()) {
    return ConvertThreadToFiber(nullptr);
  }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
  return GetCurrentFiber();
#pragma GCC diagnostic pop
}

}  // namespace

struct ScriptContext::Impl {
  void (*entry)() = nullptr;
  std::size_t stackBytes = 0;
  void* scriptFiber = nullptr;
  void* hostFiber = nullptr;
  bool inScript = false;
  bool finished = false;

  // Runs the script's entry function. A fiber function must never return (that would end the
  // thread), so a finished script hands control back to the host for good.
  static void CALLBACK Run(void* parameter) {
    Impl* self = static_cast<Impl*>(parameter);
    self->entry();
    self->finished = true;
    self->inScript = false;
    for (;;) {
      SwitchToFiber(self->hostFiber);
    }
  }
};

ScriptContext::ScriptContext(void (*entry)(), std::size_t stackBytes) : impl_(new Impl) {
  impl_->entry = entry;
  impl_->stackBytes = stackBytes;
}

ScriptContext::~ScriptContext() {
  if (impl_->scriptFiber != nullptr) {
    DeleteFiber(impl_->scriptFiber);
  }
}

void ScriptContext::Resume() {
  if (impl_->finished || impl_->inScript) {
    return;
  }
  if (impl_->hostFiber == nullptr) {
    impl_->hostFiber = HostFiber();
    if (impl_->hostFiber == nullptr) {
      FiberFailure("ConvertThreadToFiber");
    }
  }
  if (impl_->scriptFiber == nullptr) {
    impl_->scriptFiber = CreateFiber(impl_->stackBytes, &Impl::Run, impl_.get());
    if (impl_->scriptFiber == nullptr) {
      FiberFailure("CreateFiber");
    }
  }
  impl_->inScript = true;
  SwitchToFiber(impl_->scriptFiber);
}

void ScriptContext::Yield() {
  if (!impl_->inScript) {
    return;
  }
  impl_->inScript = false;
  SwitchToFiber(impl_->hostFiber);
}

bool ScriptContext::InScript() const {
  return impl_->inScript;
}

bool ScriptContext::Finished() const {
  return impl_->finished;
}

}  // namespace sim
