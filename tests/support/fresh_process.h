// Runs a test body in a child process forked from the test runner. The plug-in keeps its state
// in process-wide records by design; the runner itself never loads the plug-in, so every child
// starts from that state exactly as it is right after a fresh load. Failures reported in the
// child are passed back and reported in the parent at their original file and line.
#pragma once

#include <gtest/gtest.h>

namespace holdout_test {

// Forks, runs body() in the child, and reports the child's failures, crash or time-out here.
void RunInFreshProcess(void (*body)(), unsigned timeoutSeconds = 240);

}  // namespace holdout_test

// Declares a test whose body runs in a fresh process: SCENARIO_TEST(Suite, Name) { ... }
#define SCENARIO_TEST(suite, name)                                 \
  static void suite##_##name##_Scenario();                         \
  TEST(suite, name) {                                              \
    ::holdout_test::RunInFreshProcess(&suite##_##name##_Scenario); \
  }                                                                \
  static void suite##_##name##_Scenario()
