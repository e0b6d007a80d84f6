// The typed native invocation layer: every game action goes through Invoke, which packs each
// argument into its 64-bit word, performs the host call and reads the result at once in the
// type asked for. Packing rules: 32-bit integers, handles and booleans are zero-extended (also
// when negative); a float travels as its bit pattern in the low half; texts and out-arguments
// travel as addresses. What the host answers cannot hurt the plug-in: a null result area reads
// as zero, and a handle variable is lent to the game as zeroed 8-byte storage holding its value,
// read back as 32 bits, so a game that writes a 64-bit handle there touches nothing beside it.
#pragma once

#include <cstdint>
#include <cstring>
#include <tuple>
#include <type_traits>

#include "runtime/game_types.h"
#include "runtime/host.h"

// A game native, named by its 64-bit hash.
using NativeHash = std::uint64_t;

namespace native {

template <typename>
inline constexpr bool kNoArgumentWord = false;

// The 64-bit word that carries one argument of type Argument.
template <typename Argument>
std::uint64_t ArgumentWord(Argument value) {
  if constexpr (std::is_same_v<Argument, bool>) {
    return value ? 1u : 0u;
  } else if constexpr (std::is_same_v<Argument, float>) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
  } else if constexpr (std::is_pointer_v<Argument>) {
    return reinterpret_cast<std::uintptr_t>(value);
  } else if constexpr (std::is_integral_v<Argument> && sizeof(Argument) <= 4) {
    return static_cast<std::uint32_t>(value);  // zero-extended, negative values too
  } else if constexpr (std::is_integral_v<Argument> && sizeof(Argument) == 8) {
    return static_cast<std::uint64_t>(value);
  } else {
    static_assert(kNoArgumentWord<Argument>,
                  "natives take 32-bit values, floats, 64-bit words or addresses");
  }
}

// Carries one argument into its word for the duration of a call; WriteBack runs after it.
template <typename Argument>
class ArgumentCarrier {
 public:
  explicit ArgumentCarrier(Argument value) : word_(ArgumentWord(value)) {}
  std::uint64_t Word() const { return word_; }
  void WriteBack() const {}

 private:
  std::uint64_t word_;
};

// A handle variable the game reads and may write: the game gets the address of 8 bytes holding
// the handle zero-extended, and the variable gets their low 32 bits back.
template <>
class ArgumentCarrier<EntityHandle*> {
 public:
  explicit ArgumentCarrier(EntityHandle* handle)
      : handle_(handle), storage_(static_cast<std::uint32_t>(*handle)) {}
  std::uint64_t Word() { return reinterpret_cast<std::uintptr_t>(&storage_); }
  void WriteBack() const {
    *handle_ = static_cast<EntityHandle>(static_cast<std::uint32_t>(storage_ & 0xFFFFFFFFu));
  }

 private:
  EntityHandle* handle_;
  std::uint64_t storage_;
};

// Reads a result of type Result from the host's result area, which is never null here.
template <typename Result>
Result ReadResult(const UINT64* area);

template <>
inline void ReadResult<void>(const UINT64*) {}

template <>
inline std::uint32_t ReadResult<std::uint32_t>(const UINT64* area) {
  return static_cast<std::uint32_t>(area[0] & 0xFFFFFFFFu);
}

template <>
inline std::int32_t ReadResult<std::int32_t>(const UINT64* area) {
  return static_cast<std::int32_t>(ReadResult<std::uint32_t>(area));
}

template <>
inline bool ReadResult<bool>(const UINT64* area) {
  return ReadResult<std::uint32_t>(area) != 0;
}

template <>
inline float ReadResult<float>(const UINT64* area) {
  const std::uint32_t bits = ReadResult<std::uint32_t>(area);
  float value = 0.0f;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

template <>
inline std::uint64_t ReadResult<std::uint64_t>(const UINT64* area) {
  return area[0];
}

template <>
inline Vector3 ReadResult<Vector3>(const UINT64* area) {
  Vector3 vector;
  std::memcpy(&vector.x, reinterpret_cast<const unsigned char*>(area) + 0, sizeof(float));
  std::memcpy(&vector.y, reinterpret_cast<const unsigned char*>(area) + 8, sizeof(float));
  std::memcpy(&vector.z, reinterpret_cast<const unsigned char*>(area) + 16, sizeof(float));
  return vector;
}

// The result in the host's result area as Result; a host that answers with no result area
// gives zero.
template <typename Result>
Result ReadAnswer(const UINT64* area) {
  if constexpr (!std::is_void_v<Result>) {
    static constexpr UINT64 kZeroArea[3] = {};
    return ReadResult<Result>(area != nullptr ? area : kZeroArea);
  }
}

// True when one of the arguments is a handle variable the game may write.
template <typename... Arguments>
inline constexpr bool kLendsHandle = (std::is_same_v<Arguments, EntityHandle*> || ...);

// Calls the native `hash` with `arguments` pushed in order and returns its result as Result.
// Only a call that lends a handle variable carries its arguments through their carriers; every
// other call pushes each word as it is made.
template <typename Result = void, typename... Arguments>
Result Invoke(NativeHash hash, Arguments... arguments) {
  if constexpr (kLendsHandle<Arguments...>) {
    std::tuple<ArgumentCarrier<Arguments>...> carriers{ArgumentCarrier<Arguments>(arguments)...};
    nativeInit(hash);
    std::apply([](auto&... carrier) { (nativePush64(carrier.Word()), ...); }, carriers);
    const UINT64* const area = nativeCall();
    std::apply([](const auto&... carrier) { (carrier.WriteBack(), ...); }, carriers);
    return ReadAnswer<Result>(area);
  } else {
    nativeInit(hash);
    (nativePush64(ArgumentWord(arguments)), ...);
    return ReadAnswer<Result>(nativeCall());
  }
}

}  // namespace native
