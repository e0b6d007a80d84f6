// The native call recorder: flat storage on the hot path, convenient copies for queries.
#include "core/call_recorder.h"

namespace sim {

void CallRecorder::Record(std::uint32_t frame, std::uint64_t hash, const std::uint64_t* args,
                          std::size_t argCount) {
  if (!enabled_) {
    return;
  }
  calls_.push_back(Entry{frame, static_cast<std::uint32_t>(argCount), hash, args_.size()});
  args_.insert(args_.end(), args, args + argCount);
}

void CallRecorder::Clear() {
  calls_.clear();
  args_.clear();
}

RecordedCall CallRecorder::At(std::size_t index) const {
  const Entry& entry = calls_.at(index);
  const auto first = args_.begin() + static_cast<std::ptrdiff_t>(entry.firstArg);
  return RecordedCall{entry.frame, entry.hash,
                      std::vector<std::uint64_t>(first, first + entry.argCount)};
}

std::vector<RecordedCall> CallRecorder::All() const {
  std::vector<RecordedCall> all;
  for (std::size_t i = 0; i < calls_.size(); ++i) {
    all.push_back(At(i));
  }
  return all;
}

std::vector<RecordedCall> CallRecorder::CallsTo(std::uint64_t hash) const {
  std::vector<RecordedCall> matching;
  for (std::size_t i = 0; i < calls_.size(); ++i) {
    if (calls_[i].hash == hash) {
      matching.push_back(At(i));
    }
  }
  return matching;
}

std::vector<RecordedCall> CallRecorder::CallsInFrame(std::uint32_t frame) const {
  std::vector<RecordedCall> matching;
  for (std::size_t i = 0; i < calls_.size(); ++i) {
    if (calls_[i].frame == frame) {
      matching.push_back(At(i));
    }
  }
  return matching;
}

std::vector<std::uint64_t> CallRecorder::HashesInFrame(std::uint32_t frame) const {
  std::vector<std::uint64_t> hashes;
  for (const Entry& entry : calls_) {
    if (entry.frame == frame) {
      hashes.push_back(entry.hash);
    }
  }
  return hashes;
}

std::size_t CallRecorder::Count(std::uint64_t hash) const {
  std::size_t count = 0;
  for (const Entry& entry : calls_) {
    count += entry.hash == hash ? 1 : 0;
  }
  return count;
}

}  // namespace sim
