// Fork-per-scenario: failures in the child travel back through a pipe as (file, line, message)
// records and are re-reported in the parent.
#include "support/fresh_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace holdout_test {

namespace {

void WriteAll(int fd, const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = write(fd, bytes, size);
    if (written <= 0) {
      return;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
}

void WriteText(int fd, const std::string& text) {
  const std::uint32_t size = static_cast<std::uint32_t>(text.size());
  WriteAll(fd, &size, sizeof size);
  WriteAll(fd, text.data(), text.size());
}

// In the child: sends every failed assertion to the parent.
class FailureForwarder : public ::testing::EmptyTestEventListener {
 public:
  explicit FailureForwarder(int fd) : fd_(fd) {}
  void OnTestPartResult(const ::testing::TestPartResult& result) override {
    if (!result.failed()) {
      return;
    }
    WriteText(fd_, result.file_name() ? result.file_name() : "");
    WriteText(fd_, std::to_string(result.line_number()));
    WriteText(fd_, result.message());
  }

 private:
  int fd_;
};

std::string ReadAllFrom(int fd) {
  std::string all;
  char chunk[4096];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got <= 0) {
      return all;
    }
    all.append(chunk, static_cast<std::size_t>(got));
  }
}

bool TakeText(const std::string& all, std::size_t& at, std::string& text) {
  std::uint32_t size = 0;
  if (at + sizeof size > all.size()) {
    return false;
  }
  std::memcpy(&size, all.data() + at, sizeof size);
  at += sizeof size;
  if (at + size > all.size()) {
    return false;
  }
  text.assign(all, at, size);
  at += size;
  return true;
}

}  // namespace

void RunInFreshProcess(void (*body)(), unsigned timeoutSeconds) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(fds[0]);
    alarm(timeoutSeconds);
    ::testing::TestEventListeners& listeners = ::testing::UnitTest::GetInstance()->listeners();
    delete listeners.Release(listeners.default_result_printer());
    listeners.Append(new FailureForwarder(fds[1]));
    body();
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(0);
  }
  close(fds[1]);
  const std::string records = ReadAllFrom(fds[0]);
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);

  std::size_t at = 0;
  std::string file;
  std::string line;
  std::string message;
  while (TakeText(records, at, file) && TakeText(records, at, line) &&
         TakeText(records, at, message)) {
    GTEST_MESSAGE_AT_(file.c_str(), std::stoi(line), message.c_str(),
                      ::testing::TestPartResult::kNonFatalFailure);
  }
  if (WIFSIGNALED(status)) {
    ADD_FAILURE() << "the scenario's process was killed by signal " << WTERMSIG(status)
                  << (WTERMSIG(status) == SIGALRM ? " (time-out)" : "");
  } else if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    ADD_FAILURE() << "the scenario's process exited with status " << WEXITSTATUS(status);
  }
}

}  // namespace holdout_test
