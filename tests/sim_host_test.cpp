// The simulated host's own contract: frames and clocks, yielding, key delivery, and the faults
// it reports instead of hanging or carrying on silently.
#include <gtest/gtest.h>

#include <thread>

#include "core/sim_host.h"
#include "runtime/host.h"

namespace {

int framesSeen = 0;

void CountingScript() {
  for (;;) {
    ++framesSeen;
    scriptWait(0);
  }
}

void SpinningScript() {
  for (;;) {
    GetTickCount();
  }
}

void ReturningScript() {}

struct KeyMessage {
  DWORD key;
  BOOL alt;
  BOOL wasDown;
  BOOL isUp;
};
std::vector<KeyMessage> keyMessages;

void RecordingKeyboardHandler(DWORD key, WORD, BYTE, BOOL, BOOL alt, BOOL wasDown, BOOL isUp) {
  keyMessages.push_back({key, alt, wasDown, isUp});
}

TEST(SimHost, ResumesTheScriptOncePerFrameAndAdvancesBothClocks) {
  sim::SimHost host;
  framesSeen = 0;
  host.SetTickCount(1000);
  host.SetGameTime(5000);
  scriptRegister(host.Module(), CountingScript);
  host.RunFrames(3);
  EXPECT_EQ(framesSeen, 3);
  EXPECT_EQ(host.Frame(), 3u);
  EXPECT_EQ(host.TickCount(), 1000u + 3 * 16);
  EXPECT_EQ(host.GameTime(), 5000u + 3 * 16);
  EXPECT_TRUE(host.Faults().empty());
}

TEST(SimHost, TickCountWrapsAtThirtyTwoBits) {
  sim::SimHost host;
  host.SetTickCount(0xFFFFFFFFu - 10);
  host.RunFrame();
  EXPECT_EQ(host.TickCount(), 5u);
}

TEST(SimHost, ScriptThatNeverYieldsIsAbandonedWithAFault) {
  sim::SimHost host;
  host.SetHostCallBudget(1000);
  scriptRegister(host.Module(), SpinningScript);
  host.RunFrame();
  EXPECT_TRUE(host.ScriptStuck());
  ASSERT_EQ(host.Faults().size(), 1u);
  EXPECT_NE(host.Faults()[0].find("never calls scriptWait"), std::string::npos);
  host.RunFrame();  // the abandoned script is not resumed again
  EXPECT_EQ(host.Faults().size(), 1u);
}

TEST(SimHost, ScriptFunctionThatReturnsIsAFault) {
  sim::SimHost host;
  scriptRegister(host.Module(), ReturningScript);
  host.RunFrame();
  ASSERT_EQ(host.Faults().size(), 1u);
  EXPECT_NE(host.Faults()[0].find("returned"), std::string::npos);
}

TEST(SimHost, ScriptWaitOutsideTheScriptIsAFault) {
  sim::SimHost host;
  scriptWait(0);
  EXPECT_EQ(host.Faults().size(), 1u);
}

TEST(SimHost, KeyMessagesCarryPressRepeatAndReleaseFlagsFromAnyThread) {
  sim::SimHost host;
  keyMessages.clear();
  keyboardHandlerRegister(RecordingKeyboardHandler);
  host.PressKey(0x51);
  host.RepeatKey(0x51);
  std::thread([&host] { host.ReleaseKey(0x51, true); }).join();
  ASSERT_EQ(keyMessages.size(), 3u);
  EXPECT_EQ(keyMessages[0].wasDown, FALSE);
  EXPECT_EQ(keyMessages[0].isUp, FALSE);
  EXPECT_EQ(keyMessages[1].wasDown, TRUE);
  EXPECT_EQ(keyMessages[1].isUp, FALSE);
  EXPECT_EQ(keyMessages[2].isUp, TRUE);
  EXPECT_EQ(keyMessages[2].alt, TRUE);
  keyboardHandlerUnregister(RecordingKeyboardHandler);
  host.PressKey(0x51);
  EXPECT_EQ(keyMessages.size(), 3u) << "no handler, no delivery";
}

}  // namespace
