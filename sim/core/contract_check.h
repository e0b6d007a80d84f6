// Checks a native call's words and answer against the native's contract and words the fault
// when they break it: which argument, what it got, what the contract expects. Checking a call
// that keeps its contract allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/native_contract.h"

namespace sim {

class World;

// The form of `contract` that the argument words keep, or null when they keep none. Only forms
// of `count` words are considered.
const ArgumentForm* KeptForm(const NativeContract& contract, const std::uint64_t* args,
                             std::size_t count, const World& world);
// How the words break the form they come closest to, as
// "argument 6 (flag): got 1, expected 0"; the arguments are counted from 1.
std::string DescribeBreach(const NativeContract& contract, const std::uint64_t* args,
                           std::size_t count, const World& world);
// True when the three result words hold an answer of `kind`.
bool ResultFits(ResultKind kind, const std::uint64_t* result);
// What an answer of `kind` is, as "a 32-bit integer".
std::string DescribeResult(ResultKind kind);

}  // namespace sim
