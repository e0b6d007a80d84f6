// The game's natives as the simulated host knows them: each hash maps to a name, the contract of
// its argument words and answer, and a handler that plays the game's part. A call to a hash that
// is not in the table, with the wrong number of words, or with words that break the contract, is
// a fault the host reports.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/native_contract.h"

namespace sim {

class SimHost;

// One call as a handler sees it: the argument words and the result area to fill.
struct NativeCall {
  const std::uint64_t* args;
  std::size_t argCount;
  std::uint64_t* result;  // three zeroed words (a Vector3 fills bytes 0, 8 and 16)
  SimHost& host;

  std::int32_t Int(std::size_t i) const { return static_cast<std::int32_t>(args[i]); }
  std::uint32_t Uint(std::size_t i) const { return static_cast<std::uint32_t>(args[i]); }
  float Float(std::size_t i) const;
  const char* Text(std::size_t i) const { return reinterpret_cast<const char*>(args[i]); }
  template <typename T>
  T* Address(std::size_t i) const {
    return reinterpret_cast<T*>(args[i]);
  }
  void ReturnInt(std::int64_t value) const {
    result[0] = static_cast<std::uint64_t>(static_cast<std::uint32_t>(value));
  }
  void ReturnWord(std::uint64_t value) const { result[0] = value; }
  void ReturnFloat(float value) const;
  void ReturnVector(float x, float y, float z) const;
};

using NativeHandler = std::function<void(const NativeCall&)>;

struct NativeEntry {
  std::string name;
  NativeContract contract;
  NativeHandler handler;

  // Argument words every call passes.
  std::size_t ArgumentWords() const { return contract.forms.front().size(); }
};

class NativeTable {
 public:
  // Defines (or replaces) the native `hash`, taking `arguments` and answering `result`.
  void Define(std::uint64_t hash, std::string name, ArgumentForm arguments, ResultKind result,
              NativeHandler handler);
  // Defines a native whose callers pass one of several argument forms, all of one length.
  void DefineForms(std::uint64_t hash, std::string name, std::vector<ArgumentForm> forms,
                   ResultKind result, NativeHandler handler);
  // Replaces the handler of an existing native, keeping its name and contract; returns
  // the previous handler so a test can wrap or restore it.
  NativeHandler Override(std::uint64_t hash, NativeHandler handler);
  // The entry for `hash`, or null when the game has no such native.
  const NativeEntry* Find(std::uint64_t hash) const;
  // The hashes of every native defined, in no particular order.
  std::vector<std::uint64_t> Hashes() const;
  // The name of `hash`, or its hexadecimal form when unknown.
  std::string NameOf(std::uint64_t hash) const;

 private:
  std::unordered_map<std::uint64_t, NativeEntry> entries_;
};

// "0x7A556143A1C03898"
std::string HashText(std::uint64_t hash);

}  // namespace sim
