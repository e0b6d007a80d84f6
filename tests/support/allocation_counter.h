// Counts heap allocations made through operator new in the test binary, so a test can hold the
// plug-in's idle frames at zero allocations.
#pragma once

#include <cstdint>

namespace holdout_test {

// Allocations made so far by this process (all threads).
std::uint64_t AllocationCount();

}  // namespace holdout_test
