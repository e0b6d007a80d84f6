// The small-block heap. Every block carries a 16-byte header in front of it that names its size
// class, so that GiveBack finds its list without being told the size, and a larger block is
// marked as malloc's. A list grows by a batch of blocks at a time from malloc and never shrinks:
// the blocks the plug-in gives back are the ones it takes next, so the heap stays as large as
// the most the plug-in ever held at once.
#include "platform/small_blocks.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace small_blocks {

namespace {

// What sits in front of every block: its class, and while the block is free, the next free one.
struct alignas(16) BlockHeader {
  std::uint32_t sizeClass;
  BlockHeader* nextFree;
};
static_assert(sizeof(BlockHeader) == 16, "blocks stay aligned to 16 behind their header");

constexpr std::size_t kClassSizes[] = {16, 32, 64, 128, kLargestSmallBlock};
constexpr std::size_t kClassCount = std::size(kClassSizes);
constexpr std::uint32_t kMallocClass = kClassCount;  // a larger block, malloc's own
constexpr std::size_t kBlocksPerBatch = 32;

// One size class's free blocks.
struct FreeList {
  std::atomic_flag locked = ATOMIC_FLAG_INIT;
  BlockHeader* first = nullptr;
};

FreeList freeLists[kClassCount];

// The smallest class that holds `size` bytes; kMallocClass when none does.
std::uint32_t ClassFor(std::size_t size) {
  std::uint32_t sizeClass = 0;
  while (sizeClass < kClassCount && kClassSizes[sizeClass] < size) {
    ++sizeClass;
  }
  return sizeClass;
}

void Lock(FreeList& list) {
  while (list.locked.test_and_set(std::memory_order_acquire)) {
  }
}

void Unlock(FreeList& list) {
  list.locked.clear(std::memory_order_release);
}

// Puts a new batch of blocks of class `sizeClass` on its list, which the caller holds locked;
// false when malloc has no memory for it.
bool Refill(FreeList& list, std::uint32_t sizeClass) {
  const std::size_t stride = sizeof(BlockHeader) + kClassSizes[sizeClass];
  auto* batch = static_cast<unsigned char*>(std::malloc(stride * kBlocksPerBatch));
  if (batch == nullptr) {
    return false;
  }
  for (std::size_t i = 0; i < kBlocksPerBatch; ++i) {
    auto* header = reinterpret_cast<BlockHeader*>(batch + i * stride);
    header->sizeClass = sizeClass;
    header->nextFree = list.first;
    list.first = header;
  }
  return true;
}

}  // namespace

void* Take(std::size_t size) noexcept {
  const std::uint32_t sizeClass = ClassFor(size);
  if (sizeClass == kMallocClass) {
    if (size > SIZE_MAX - sizeof(BlockHeader)) {
      return nullptr;
    }
    auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + size));
    if (header == nullptr) {
      return nullptr;
    }
    header->sizeClass = kMallocClass;
    return header + 1;
  }
  FreeList& list = freeLists[sizeClass];
  Lock(list);
  if (list.first == nullptr && !Refill(list, sizeClass)) {
    Unlock(list);
    return nullptr;
  }
  BlockHeader* header = list.first;
  list.first = header->nextFree;
  Unlock(list);
  return header + 1;
}

void GiveBack(void* block) noexcept {
  if (block == nullptr) {
    return;
  }
  BlockHeader* header = static_cast<BlockHeader*>(block) - 1;
  if (header->sizeClass == kMallocClass) {
    std::free(header);
    return;
  }
  FreeList& list = freeLists[header->sizeClass];
  Lock(list);
  header->nextFree = list.first;
  list.first = header;
  Unlock(list);
}

}  // namespace small_blocks
