// The plug-in's small-block heap: blocks of every size aligned and whole, none handed to two
// holders at once, a block given back reused by the next of its size, larger blocks malloc's;
// and the same from several threads at once, with no lost or doubled block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "platform/small_blocks.h"

namespace {

TEST(SmallBlocks, EverySizeIsAlignedWholeAndHeldByOneHolderAtATime) {
  std::vector<std::pair<unsigned char*, std::size_t>> held;
  for (std::size_t size = 1; size <= small_blocks::kLargestSmallBlock + 64; ++size) {
    auto* block = static_cast<unsigned char*>(small_blocks::Take(size));
    ASSERT_NE(block, nullptr) << size;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 16, 0u) << size;
    std::memset(block, static_cast<int>(size & 0xFF), size);
    held.emplace_back(block, size);
  }
  for (const auto& [block, size] : held) {
    EXPECT_TRUE(std::all_of(block, block + size,
                            [size = size](unsigned char c) { return c == (size & 0xFF); }))
        << "the block of " << size << " bytes was written by another holder";
  }
  std::set<unsigned char*> distinct;
  for (const auto& entry : held) {
    distinct.insert(entry.first);
  }
  EXPECT_EQ(distinct.size(), held.size());
  for (const auto& entry : held) {
    small_blocks::GiveBack(entry.first);
  }
  small_blocks::GiveBack(nullptr);
}

TEST(SmallBlocks, ABlockGivenBackIsTheNextOfItsSizeAndLargeOnesComeAndGo) {
  void* first = small_blocks::Take(20);
  small_blocks::GiveBack(first);
  EXPECT_EQ(small_blocks::Take(31), first) << "the same class of 32 bytes";
  void* large = small_blocks::Take(1 << 20);
  ASSERT_NE(large, nullptr);
  std::memset(large, 1, 1 << 20);
  small_blocks::GiveBack(large);
  EXPECT_EQ(small_blocks::Take(static_cast<std::size_t>(-1)), nullptr) << "no such memory";
  small_blocks::GiveBack(first);
}

// Several threads take, fill, check and give back blocks of mixed sizes at once: a block that
// two threads held together would show the other's mark.
TEST(SmallBlocks, BlocksTakenAndGivenBackFromAnyThread) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 20000;
  std::vector<std::thread> threads;
  std::vector<int> damaged(kThreads, 0);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &damaged] {
      std::vector<std::pair<unsigned char*, std::size_t>> held;
      for (int round = 0; round < kRounds; ++round) {
        const std::size_t size = 1 + static_cast<std::size_t>((round * 37 + t * 11) % 300);
        auto* block = static_cast<unsigned char*>(small_blocks::Take(size));
        std::memset(block, t + 1, size);
        held.emplace_back(block, size);
        if (held.size() > 8 || round % 3 == 0) {
          const auto [oldest, oldSize] = held.front();
          held.erase(held.begin());
          damaged[static_cast<std::size_t>(t)] +=
              std::any_of(oldest, oldest + oldSize, [t](unsigned char c) { return c != t + 1; });
          small_blocks::GiveBack(oldest);
        }
      }
      for (const auto& entry : held) {
        small_blocks::GiveBack(entry.first);
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(damaged[static_cast<std::size_t>(t)], 0) << "thread " << t;
  }
}

}  // namespace
