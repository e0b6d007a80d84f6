// The Windows programs' memory: the plug-in's small-block heap, as in Holdout.asi.
#include "core/memory_source.h"
#include "platform/small_blocks.h"

void* sim::TakeMemory(std::size_t size) noexcept {
  return small_blocks::Take(size);
}

void sim::GiveMemoryBack(void* block) noexcept {
  small_blocks::GiveBack(block);
}
