// The native calls of some frames of the plug-in, kept so that the benchmark can make exactly
// those calls again from outside the plug-in and time what they cost the host alone. A text
// argument is kept as a copy and passed as the copy's address; an address argument is passed
// as the address of a copy of what it held once the game answered. A recorded frame is made
// again within a frame of the host, which begins a new frame of the screen, so the text handles
// the game answers are the recorded ones.
#pragma once

#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "core/sim_host.h"
#include "runtime/game_types.h"
#include "runtime/host.h"

namespace holdout_bench {

// Frames of native calls recorded from one host and made again on it.
class NativeReplay {
 public:
  // Records the calls of the next `frames` frames of `host`, running them.
  void Record(sim::SimHost& host, std::uint32_t frames) {
    frames_.assign(frames, {});
    words_.clear();
    texts_.clear();
    cells_.clear();
    const std::uint32_t first = host.Frame() + 1;
    host.SetAnswerHook([this, &host, first](std::uint64_t hash, const sim::NativeCall& call) {
      Keep(host, host.Frame() - first, hash, call);
    });
    host.RunFrames(frames);
    host.SetAnswerHook({});
    next_ = 0;
  }

  // Makes the calls of the next recorded frame (after the last, the first again).
  void ReplayFrame() {
    for (const Call& call : frames_[next_]) {
      nativeInit(call.hash);
      for (std::size_t i = 0; i < call.wordCount; ++i) {
        nativePush64(words_[call.firstWord + i]);
      }
      nativeCall();
    }
    next_ = next_ + 1 == frames_.size() ? 0 : next_ + 1;
  }

 private:
  // One call: its hash and where its argument words begin in words_.
  struct Call {
    std::uint64_t hash;
    std::size_t firstWord;
    std::size_t wordCount;
  };

  // Keeps one answered call of recorded frame `frame`.
  void Keep(sim::SimHost& host, std::uint32_t frame, std::uint64_t hash,
            const sim::NativeCall& call) {
    const sim::ArgumentForm& form = host.Natives().Find(hash)->contract.forms.front();
    frames_[frame].push_back(Call{hash, words_.size(), call.argCount});
    for (std::size_t i = 0; i < call.argCount; ++i) {
      words_.push_back(KeptWord(form[i].kind, call.args[i]));
    }
  }

  // The word to pass for an argument of `kind` that was passed as `word`.
  std::uint64_t KeptWord(sim::ArgumentKind kind, std::uint64_t word) {
    switch (kind) {
      case sim::ArgumentKind::kText:
        return reinterpret_cast<std::uintptr_t>(
            texts_.emplace_back(reinterpret_cast<const char*>(word)).c_str());
      case sim::ArgumentKind::kHandleAddress:
      case sim::ArgumentKind::kVectorAddress: {
        Cell& cell = cells_.emplace_back();
        std::memcpy(
            cell.bytes, reinterpret_cast<const void*>(word),
            kind == sim::ArgumentKind::kVectorAddress ? sizeof(Vector3) : sizeof(EntityHandle));
        return reinterpret_cast<std::uintptr_t>(cell.bytes);
      }
      default:
        return word;
    }
  }

  // Room for what an address argument held: a handle or a Vector3.
  struct Cell {
    alignas(8) unsigned char bytes[sizeof(Vector3)];
  };

  std::vector<std::vector<Call>> frames_;
  std::vector<std::uint64_t> words_;
  std::deque<std::string> texts_;  // a deque never moves what it holds
  std::deque<Cell> cells_;
  std::size_t next_ = 0;
};

}  // namespace holdout_bench
