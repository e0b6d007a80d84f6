// A script context: runs the plug-in's script function on a stack of its own, so that the
// host can resume it once per frame and the script can hand control back from anywhere in its
// call stack (scriptWait). One implementation per platform: ucontext on Linux, fibers on
// Windows. Single-threaded: Resume and Yield are called on the thread that owns the context.
#pragma once

#include <cstddef>
#include <memory>

namespace sim {

class ScriptContext {
 public:
  // Prepares a context that will run entry() on its first Resume. Nothing runs yet.
  explicit ScriptContext(void (*entry)(), std::size_t stackBytes = 1024 * 1024);
  ~ScriptContext();
  ScriptContext(const ScriptContext&) = delete;
  ScriptContext& operator=(const ScriptContext&) = delete;

  // From the host: runs the script until it yields (or its entry function returns).
  void Resume();
  // From the script: returns control to the host's Resume call.
  void Yield();
  // True while the script is executing (between Resume and the matching Yield).
  bool InScript() const;
  // True once the entry function has returned; the context cannot be resumed again.
  bool Finished() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace sim
