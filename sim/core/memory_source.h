// Where the programs that run the plug-in in the simulated host take the memory their
// allocation functions hand out: on Linux from malloc, which the sanitizers watch; in the
// Windows programs from the plug-in's small-block heap, as Holdout.asi's own allocation
// functions do, so that a frame there costs what it costs in the game.
#pragma once

#include <cstddef>

namespace sim {

// A block of at least `size` bytes (size > 0), aligned for any object; null when there is none.
void* TakeMemory(std::size_t size) noexcept;
// Gives back a block TakeMemory returned; null is allowed.
void GiveMemoryBack(void* block) noexcept;

}  // namespace sim
