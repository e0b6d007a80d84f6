// A session's own directory: made new under the temporary directory, removed with its contents
// at the end, and never anything else; when it cannot be made there is only a reason.
#include "core/scratch_directory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <utility>

#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

// Points TMPDIR at `base` for this (forked) process.
void UseTemporaryDirectory(const std::filesystem::path& base) {
  ASSERT_EQ(setenv("TMPDIR", base.c_str(), 1), 0);
}

SCENARIO_TEST(ScratchDirectoryTest, RemovesWhatItMadeAndNothingElse) {
  const holdout_test::Scenario s;
  const std::filesystem::path base = s.Directory() / "base";
  std::filesystem::create_directory(base);
  std::ofstream(base / "neighbour.txt") << "stays";
  UseTemporaryDirectory(base);

  std::string error;
  std::optional<sim::ScratchDirectory> first = sim::ScratchDirectory::Create("holdout", error);
  std::optional<sim::ScratchDirectory> second = sim::ScratchDirectory::Create("holdout", error);
  ASSERT_TRUE(first && second) << error;
  EXPECT_EQ(first->Path().parent_path(), base);
  EXPECT_NE(first->Path(), second->Path());
  EXPECT_TRUE(std::filesystem::is_empty(first->Path()));
  std::filesystem::create_directory(first->Path() / "sub");
  std::ofstream(first->Path() / "sub" / "Holdout.log") << "line";
  const std::filesystem::path firstPath = first->Path();
  const std::filesystem::path secondPath = second->Path();

  // A moved-from directory removes nothing; assigning over one removes the old directory.
  sim::ScratchDirectory moved = std::move(*first);
  first.reset();
  EXPECT_TRUE(std::filesystem::exists(firstPath / "sub" / "Holdout.log"));
  moved = std::move(*second);
  EXPECT_FALSE(std::filesystem::exists(firstPath));
  EXPECT_TRUE(std::filesystem::exists(secondPath));
  second.reset();
  EXPECT_TRUE(std::filesystem::exists(secondPath));
  { const sim::ScratchDirectory last = std::move(moved); }
  EXPECT_FALSE(std::filesystem::exists(secondPath));
  EXPECT_TRUE(std::filesystem::exists(base / "neighbour.txt"));
}

SCENARIO_TEST(ScratchDirectoryTest, NoDirectoryOnlyAReason) {
  for (const char* unusable : {"/proc", "/nonexistent-holdout-temp"}) {
    UseTemporaryDirectory(unusable);
    std::string error;
    EXPECT_FALSE(sim::ScratchDirectory::Create("holdout", error)) << unusable;
    EXPECT_NE(error, "") << unusable;
  }
}

}  // namespace
