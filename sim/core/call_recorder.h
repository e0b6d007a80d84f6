// Records every native call the plug-in makes: the frame it came in, the hash and the argument
// words. Storage is two flat arrays reused across clears, so recording costs no allocation once
// they have grown.
#pragma once

#include <cstdint>
#include <vector>

namespace sim {

struct RecordedCall {
  std::uint32_t frame;
  std::uint64_t hash;
  std::vector<std::uint64_t> args;
};

class CallRecorder {
 public:
  void Record(std::uint32_t frame, std::uint64_t hash, const std::uint64_t* args,
              std::size_t argCount);
  void Clear();
  void SetEnabled(bool enabled) { enabled_ = enabled; }

  std::size_t Size() const { return calls_.size(); }
  RecordedCall At(std::size_t index) const;
  // All recorded calls, oldest first.
  std::vector<RecordedCall> All() const;
  // The calls to `hash`, oldest first.
  std::vector<RecordedCall> CallsTo(std::uint64_t hash) const;
  // The calls made in `frame`, in order.
  std::vector<RecordedCall> CallsInFrame(std::uint32_t frame) const;
  // The hashes called in `frame`, in order.
  std::vector<std::uint64_t> HashesInFrame(std::uint32_t frame) const;
  std::size_t Count(std::uint64_t hash) const;

 private:
  struct Entry {
    std::uint32_t frame;
    std::uint32_t argCount;
    std::uint64_t hash;
    std::size_t firstArg;
  };
  bool enabled_ = true;
  std::vector<Entry> calls_;
  std::vector<std::uint64_t> args_;
};

}  // namespace sim
