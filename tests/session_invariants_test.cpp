// The session invariants' log check: a log that only grows passes, however long it gets; a log
// rewritten anywhere, near its end or at its start, or cut short, is reported.
#include "developer/soak/session_invariants.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

void Append(const std::filesystem::path& log, const std::string& text) {
  std::ofstream(log, std::ios::binary | std::ios::app) << text;
}

void Overwrite(const std::filesystem::path& log, std::streamoff at, const std::string& text) {
  std::fstream file(log, std::ios::binary | std::ios::in | std::ios::out);
  file.seekp(at);
  file << text;
}

SCENARIO_TEST(SessionInvariants, TheLogMayOnlyGrowAtItsEnd) {
  holdout_test::Scenario s;
  s.Start();
  const std::filesystem::path log = s.Directory() / "Holdout.log";
  SessionInvariants invariants(s.host, log);
  const std::string line = "You survived for 0:42 and got 3 kill(s) (70 max enemies)\n";
  for (int i = 0; i < 500; ++i) {
    Append(log, line);
    ASSERT_TRUE(invariants.Check().empty()) << "line " << i;
  }

  Overwrite(log, static_cast<std::streamoff>(499 * line.size()), "Z");  // within the last line
  Append(log, line);
  EXPECT_EQ(invariants.Check().size(), 1u) << "a rewrite just before the end";

  Overwrite(log, 0, "X");  // the first byte: seen once the log has doubled
  bool reported = false;
  for (int i = 0; i < 600 && !reported; ++i) {
    Append(log, line);
    reported = !invariants.Check().empty();
  }
  EXPECT_TRUE(reported) << "a rewrite at the start";

  std::filesystem::resize_file(log, 10);
  EXPECT_EQ(invariants.Check().size(), 1u) << "a log cut short";
}

}  // namespace
