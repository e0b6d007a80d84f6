// The count comes from the allocation functions every program that runs the plug-in has
// (sim/core/allocation_failures.cpp), which forward to malloc and free.
#include "support/allocation_counter.h"

#include "core/fault_injector.h"

namespace holdout_test {
std::uint64_t AllocationCount() {
  return sim::AllocationsMade();
}
}  // namespace holdout_test
