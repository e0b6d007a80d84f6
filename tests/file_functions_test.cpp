// The simulated host's file and environment functions that the log goes through, held to what
// Windows documents: a folder path's limit of MAX_PATH - 12 characters without the \\?\ prefix,
// the environment's buffer sizes, and only handles CreateFileW gave taking writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>

#include "core/code_page.h"
#include "core/windows_paths.h"
#include "platform/win32_functions.h"
#include "support/fresh_process.h"
#include "support/scenario.h"

namespace {

namespace fs = std::filesystem;
using holdout_test::Scenario;

// A path of exactly `length` characters under `base`, its parent folders made.
std::string PathOfLength(const fs::path& base, std::size_t length) {
  std::string path = (base / "p").string();
  while (length - path.size() > 101) {
    path += '/' + std::string(99, 'a');
  }
  path += '/' + std::string(length - path.size() - 1, 'b');
  fs::create_directories(fs::path(path).parent_path());
  return path;
}

SCENARIO_TEST(FileFunctions, CreateDirectoryTakesFolderPathsBelowMaxPathLessTwelve) {
  Scenario s;
  for (const std::size_t length : {246u, 247u, 248u}) {
    const std::string path = PathOfLength(s.Directory() / std::to_string(length), length);
    ASSERT_EQ(path.size(), length);
    const std::u16string wide = sim::Utf16FromUtf8(path);
    EXPECT_EQ(CreateDirectoryW(wide.c_str(), nullptr), length < 248 ? TRUE : FALSE) << length;
    EXPECT_EQ(fs::is_directory(path), length < 248) << length;
    if (length == 248) {
      const std::u16string prefixed = u"\\\\?\\" + wide;
      EXPECT_EQ(CreateDirectoryW(prefixed.c_str(), nullptr), TRUE) << "the prefix lifts it";
    }
  }
  const std::u16string existing = sim::Utf16FromUtf8(s.Directory().string());
  EXPECT_EQ(CreateDirectoryW(existing.c_str(), nullptr), FALSE);
  const std::u16string orphan = sim::Utf16FromUtf8((s.Directory() / "no" / "parent").string());
  EXPECT_EQ(CreateDirectoryW(orphan.c_str(), nullptr), FALSE);
}

SCENARIO_TEST(FileFunctions, TheEnvironmentsBufferTakesTheValueAndItsTerminator) {
  Scenario s;
  sim::fileSystemSettings.localAppData = "C:/Users/player/AppData/Local";  // 29 characters
  char16_t buffer[40];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(GetEnvironmentVariableW(u"LOCALAPPDATA", buffer, 29), 30u);
  EXPECT_EQ(buffer[0], u'#') << "nothing is copied into a buffer too small";
  EXPECT_EQ(GetEnvironmentVariableW(u"LocalAppData", buffer, 30), 29u);
  EXPECT_EQ(std::u16string(buffer), u"C:/Users/player/AppData/Local");
  EXPECT_EQ(GetEnvironmentVariableW(u"LOCALAPPDATA", buffer, 31), 29u);
  EXPECT_EQ(GetEnvironmentVariableW(u"TEMP", buffer, 40), 0u);
  sim::fileSystemSettings.localAppData.clear();
  EXPECT_EQ(GetEnvironmentVariableW(u"LOCALAPPDATA", buffer, 40), 0u);
}

SCENARIO_TEST(FileFunctions, OnlyHandlesCreateFileGaveTakeWritesAndCloses) {
  Scenario s;
  const HANDLE file = CreateFileW(u"Holdout.log", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 7;
  EXPECT_EQ(WriteFile(file, "ab", 2, &written, nullptr), TRUE);
  EXPECT_EQ(written, 2u);
  EXPECT_EQ(CloseHandle(file), TRUE);
  EXPECT_EQ(WriteFile(file, "cd", 2, &written, nullptr), FALSE) << "a closed handle";
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(CloseHandle(file), FALSE);
  EXPECT_EQ(s.ReadLog(), "ab");

  EXPECT_EQ(CreateFileW(u"Holdout.log", FILE_APPEND_DATA, 0, nullptr, 2, 0, nullptr),
            INVALID_HANDLE_VALUE);
  ASSERT_EQ(s.host.Faults().size(), 1u) << "a use the simulation does not model is a fault";
  s.host.ClearFaults();
}

}  // namespace
