// The simulated game's native table and the typed views handlers use on a call's words.
#include "core/native_table.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace sim {

float NativeCall::Float(std::size_t i) const {
  const std::uint32_t bits = static_cast<std::uint32_t>(args[i]);
  float value = 0.0f;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void NativeCall::ReturnFloat(float value) const {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  result[0] = bits;
}

void NativeCall::ReturnVector(float x, float y, float z) const {
  const float components[3] = {x, y, z};
  for (int i = 0; i < 3; ++i) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &components[i], sizeof bits);
    result[i] = bits;
  }
}

void NativeTable::Define(std::uint64_t hash, std::string name, ArgumentForm arguments,
                         ResultKind result, NativeHandler handler) {
  std::vector<ArgumentForm> forms;
  forms.push_back(std::move(arguments));
  DefineForms(hash, std::move(name), std::move(forms), result, std::move(handler));
}

void NativeTable::DefineForms(std::uint64_t hash, std::string name, std::vector<ArgumentForm> forms,
                              ResultKind result, NativeHandler handler) {
  entries_[hash] =
      NativeEntry{std::move(name), NativeContract{std::move(forms), result}, std::move(handler)};
}

NativeHandler NativeTable::Override(std::uint64_t hash, NativeHandler handler) {
  NativeEntry& entry = entries_.at(hash);
  NativeHandler previous = std::move(entry.handler);
  entry.handler = std::move(handler);
  return previous;
}

const NativeEntry* NativeTable::Find(std::uint64_t hash) const {
  const auto found = entries_.find(hash);
  return found == entries_.end() ? nullptr : &found->second;
}

std::vector<std::uint64_t> NativeTable::Hashes() const {
  std::vector<std::uint64_t> hashes;
  for (const auto& [hash, entry] : entries_) {
    hashes.push_back(hash);
  }
  return hashes;
}

std::string NativeTable::NameOf(std::uint64_t hash) const {
  const NativeEntry* entry = Find(hash);
  return entry ? entry->name : HashText(hash);
}

std::string HashText(std::uint64_t hash) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%016" PRIX64, hash);
  return text;
}

}  // namespace sim
