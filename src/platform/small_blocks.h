// The plug-in's small-block heap. A frame of an open menu copies every row's caption, and under
// the game's C runtime each copy is a trip through the process heap's allocator, which costs
// more than the rest of the frame's own work. Small blocks are instead kept on free lists by
// size, each list guarded by a spin lock of its own, and reused: taking or giving back a block
// is a lock, a list step and an unlock. Larger blocks come from malloc. Safe on any thread.
#pragma once

#include <cstddef>

namespace small_blocks {

// The largest block the free lists keep; larger ones are malloc's.
inline constexpr std::size_t kLargestSmallBlock = 256;

// A block of at least `size` bytes, aligned to 16; null when memory is exhausted.
void* Take(std::size_t size) noexcept;
// Gives back a block Take returned, for reuse; null is allowed and does nothing.
void GiveBack(void* block) noexcept;

}  // namespace small_blocks
