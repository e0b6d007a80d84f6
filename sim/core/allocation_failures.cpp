// The program's allocation functions, for every program that runs the plug-in in the simulated
// host: the Linux tests and tools, and the Windows soak and benchmarks, which the cross compiler
// builds with the Windows C runtime. They count every allocation, so that a test can hold the
// plug-in's idle frames at none, and they let the fault injector make an allocation of the
// plug-in's own code fail as an exhausted heap would: operator new throws std::bad_alloc when
// sim::AllocationFails says so. Memory comes from the platform's memory source
// (core/memory_source.h): on Linux malloc, which the sanitizers still watch, so every new and
// delete stay matched; on Windows the plug-in's small-block heap, as in Holdout.asi. They are
// built into each program, never into a library, so that they replace the standard library's.
#include <atomic>
#include <new>

#include "core/fault_injector.h"
#include "core/memory_source.h"

namespace {

std::atomic<std::uint64_t> allocations{0};
std::atomic<std::uint64_t> failures{0};

void* Allocate(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (sim::AllocationFails()) {
    failures.fetch_add(1, std::memory_order_relaxed);
    throw std::bad_alloc();
  }
  if (void* block = sim::TakeMemory(size == 0 ? 1 : size)) {
    return block;
  }
  throw std::bad_alloc();
}

void* AllocateOrNull(std::size_t size) noexcept {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return sim::TakeMemory(size == 0 ? 1 : size);
}

}  // namespace

std::uint64_t sim::AllocationsMade() {
  return allocations.load(std::memory_order_relaxed);
}

std::uint64_t sim::AllocationsFailed() {
  return failures.load(std::memory_order_relaxed);
}

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return AllocateOrNull(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return AllocateOrNull(size);
}
void operator delete(void* block) noexcept {
  sim::GiveMemoryBack(block);
}
void operator delete[](void* block) noexcept {
  sim::GiveMemoryBack(block);
}
void operator delete(void* block, std::size_t) noexcept {
  sim::GiveMemoryBack(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  sim::GiveMemoryBack(block);
}
