// What the simulated game accepts from a native call, as data declared beside each native's
// handler: the kind of every argument word (a fixed value, a range, a handle that must name
// something in the world, a known asset, an address) and the kind of the answer. A native whose
// callers pass different fixed values has one argument form per caller; a call must keep one of
// them. The host checks every call against its native's contract before the game acts.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace sim {

// The kind of value one argument word carries.
enum class ArgumentKind {
  kInteger,        // a 32-bit integer within low..high, upper half of the word 0
  kFloat,          // a finite 32-bit float within low..high, upper half of the word 0
  kRandomWhole,    // a whole-number float drawn at random from low..high; the world records it
  kText,           // the address of a zero-terminated text, one of `texts` unless that is empty
  kModel,          // a 32-bit model hash, one of `models`
  kHandle,         // a 32-bit handle naming something of `entities`
  kHandleAddress,  // the address of a 32-bit variable holding such a handle
  kVectorAddress,  // the address of a Vector3 that the game may write
  kWord,           // any 64-bit word, such as a handle the game answered earlier
};

// When a handle counts as naming something.
enum class Presence {
  kExisting,        // it exists in the world now
  kExistingOrZero,  // it exists now, or the handle is 0
  kOnceExisting,    // the world handed it out once; it may have been removed since
};

// The contract of one argument word.
struct ArgumentSpec {
  std::string_view name;  // what the argument is, for messages
  ArgumentKind kind = ArgumentKind::kWord;
  double low = 0.0;       // kInteger, kFloat, kRandomWhole: the smallest value allowed
  double high = 0.0;      // and the largest; low == high fixes the value
  std::int32_t step = 0;  // kRandomWhole: the width of the steps its coverage is counted in
  std::vector<std::string_view> texts;      // kText: the texts allowed; empty: any text
  std::vector<std::uint32_t> models;        // kModel: the model hashes allowed
  unsigned entities = 0;                    // kHandle, kHandleAddress: an EntityKind mask
  Presence presence = Presence::kExisting;  // kHandle, kHandleAddress
};

// One list of argument words the game accepts.
using ArgumentForm = std::vector<ArgumentSpec>;

// The kind of answer a native leaves in the result area.
enum class ResultKind {
  kNone,     // nothing: the area stays zero
  kInteger,  // a 32-bit integer, handle, hash or boolean in the low half of word 0
  kFloat,    // a finite 32-bit float in the low half of word 0
  kVector,   // three finite floats, in the low halves of words 0, 1 and 2
  kWord,     // a 64-bit word in word 0
};

// Everything a native accepts and answers.
struct NativeContract {
  std::vector<ArgumentForm> forms;  // at least one; all of the same length
  ResultKind result = ResultKind::kNone;
};

// Argument contracts, named as a native's table names its arguments.
namespace contract {
// Any 32-bit integer.
ArgumentSpec Int(std::string_view name);
// A 32-bit integer within low..high.
ArgumentSpec IntIn(std::string_view name, std::int32_t low, std::int32_t high);
// The integer `value` and no other.
ArgumentSpec Fixed(std::string_view name, std::int32_t value);
// Any finite float.
ArgumentSpec Float(std::string_view name);
// A finite float within low..high.
ArgumentSpec FloatIn(std::string_view name, float low, float high);
// The float `value` and no other.
ArgumentSpec FixedFloat(std::string_view name, float value);
// A whole number low..high drawn at random, passed as a float; coverage counted per `step`.
ArgumentSpec RandomWhole(std::string_view name, std::int32_t low, std::int32_t high,
                         std::int32_t step);
// Any zero-terminated text.
ArgumentSpec Text(std::string_view name);
// One of `texts`.
ArgumentSpec TextOf(std::string_view name, std::vector<std::string_view> texts);
// One of the model hashes `models`.
ArgumentSpec ModelHash(std::string_view name, std::vector<std::uint32_t> models);
// A handle of something of `entities` (an EntityKind mask), present as `presence` says.
ArgumentSpec Handle(std::string_view name, unsigned entities,
                    Presence presence = Presence::kExisting);
// The address of a variable holding such a handle.
ArgumentSpec HandleAddress(std::string_view name, unsigned entities, Presence presence);
// The address of a Vector3.
ArgumentSpec VectorAddress(std::string_view name);
// Any 64-bit word.
ArgumentSpec Word(std::string_view name);
}  // namespace contract

}  // namespace sim
