// Holdout.asi's own allocation functions: every new and delete of the plug-in, the C++ runtime
// folded into it included, goes to the small-block heap rather than straight to the C runtime's
// malloc. A failed allocation throws std::bad_alloc, or answers null for the nothrow forms.
#include <cstddef>
#include <new>

#include "platform/small_blocks.h"

namespace {

void* Allocate(std::size_t size) {
  if (void* block = small_blocks::Take(size == 0 ? 1 : size)) {
    return block;
  }
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return small_blocks::Take(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return small_blocks::Take(size == 0 ? 1 : size);
}
void operator delete(void* block) noexcept {
  small_blocks::GiveBack(block);
}
void operator delete[](void* block) noexcept {
  small_blocks::GiveBack(block);
}
void operator delete(void* block, std::size_t) noexcept {
  small_blocks::GiveBack(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  small_blocks::GiveBack(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
  small_blocks::GiveBack(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  small_blocks::GiveBack(block);
}
