// The Linux programs' memory: malloc and free, which the sanitizers watch.
#include <cstdlib>

#include "core/memory_source.h"

void* sim::TakeMemory(std::size_t size) noexcept {
  return std::malloc(size);
}

void sim::GiveMemoryBack(void* block) noexcept {
  std::free(block);
}
