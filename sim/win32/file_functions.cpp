// The file functions the plug-in calls, as the simulated host answers them on Linux: the temp
// folder is the host's (SimHost::TempFolder), and files are found as the simulated file system
// finds them (core/windows_paths.h). A file of its own because the C++ runtime on Windows calls
// these functions too (the standard library's temp folder, copies and removals): the Windows
// programs that run the plug-in in the simulated host leave it out and keep the system's. Each
// fails on the fault injector's countdown as its row says (core/fault_table.h).
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "core/code_page.h"
#include "core/fault_injector.h"
#include "core/sim_host.h"
#include "core/windows_paths.h"
#include "platform/win32_functions.h"

namespace {

namespace fs = std::filesystem;

// Copies `text` into a caller's buffer of `size` units as the path functions do; returns what
// they return: the units copied, or the size needed including the terminator.
DWORD CopyOut(const std::u16string& text, LPWSTR buffer, DWORD size) {
  if (buffer == nullptr || text.size() >= size) {
    return static_cast<DWORD>(text.size() + 1);
  }
  std::copy(text.begin(), text.end(), buffer);
  buffer[text.size()] = u'\0';
  return static_cast<DWORD>(text.size());
}

// The Linux path of an existing entry that the file functions take `path` to; nothing when they
// refuse the path or nothing is there.
std::optional<std::string> ExistingEntry(LPCWSTR path) {
  if (path == nullptr || !sim::FileFunctionsTake(path)) {
    return std::nullopt;
  }
  std::optional<std::string> linuxPath = sim::LinuxPath(path);
  std::error_code error;
  return linuxPath && fs::exists(*linuxPath, error) ? linuxPath : std::nullopt;
}

std::u16string UpperHex(UINT number) {
  static const char16_t kDigits[] = u"0123456789ABCDEF";
  std::u16string hex;
  do {
    hex.insert(hex.begin(), kDigits[number % 16]);
    number /= 16;
  } while (number != 0);
  return hex;
}

// Creates the file at `path` only when nothing is there yet: 1 when made, 0 when something is
// there, -1 when it cannot be made.
int CreateNew(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wbx");
  if (file != nullptr) {
    std::fclose(file);
    return 1;
  }
  return errno == EEXIST ? 0 : -1;
}

}  // namespace

extern "C" {

DWORD GetTempPathW(DWORD size, LPWSTR buffer) {
  const sim::SimHost::HostCode hostCode;
  const sim::SimHost* host = sim::SimHost::Current();
  if (host == nullptr || host->TempFolder().empty() ||
      sim::Win32CallFails(sim::FaultKind::kTempPathFails)) {
    return 0;
  }
  std::u16string folder = sim::Utf16FromUtf8(host->TempFolder());
  if (folder.back() != u'/' && folder.back() != u'\\') {
    folder += u'/';
  }
  return CopyOut(folder, buffer, size);
}

UINT GetTempFileNameW(LPCWSTR pathName, LPCWSTR prefix, UINT unique, LPWSTR tempFileName) {
  const sim::SimHost::HostCode hostCode;
  const sim::SimHost* host = sim::SimHost::Current();
  if (host == nullptr || pathName == nullptr || tempFileName == nullptr ||
      sim::Win32CallFails(sim::FaultKind::kTempFileFails)) {
    return 0;
  }
  const std::u16string_view folder(pathName);
  const std::optional<std::string> linuxFolder = ExistingEntry(pathName);
  std::error_code error;
  if (folder.size() > sim::kMaxPath - 14 || !linuxFolder || !fs::is_directory(*linuxFolder, error)) {
    return 0;
  }
  std::u16string stem(folder);
  if (stem.empty() || (stem.back() != u'\\' && stem.back() != u'/')) {
    stem += u'\\';
  }
  for (int i = 0; i < 3 && prefix != nullptr && prefix[i] != 0; ++i) {
    stem += prefix[i];
  }
  const auto write = [&](UINT number) {
    CopyOut(stem + UpperHex(number) + u".TMP", tempFileName, sim::kMaxPath);
    return number;
  };
  unique &= 0xFFFF;
  if (unique != 0) {
    return write(unique);  // only the name: the caller creates the file
  }
  // A number from the clock, then the next ones, until one names no file yet.
  const UINT first = std::max<UINT>(host->TickCount() & 0xFFFF, 1);
  UINT number = first;
  do {
    const std::optional<std::string> path = sim::LinuxPath(stem + UpperHex(number) + u".TMP");
    const int made = path ? CreateNew(*path) : -1;
    if (made == 1) {
      return write(number);
    }
    if (made < 0) {
      return 0;
    }
    number = number == 0xFFFF ? 1 : number + 1;
  } while (number != first);
  return 0;
}

BOOL CopyFileW(LPCWSTR existingFile, LPCWSTR newFile, BOOL failIfExists) {
  const sim::SimHost::HostCode hostCode;
  const std::optional<std::string> source = ExistingEntry(existingFile);
  std::error_code error;
  if (!source || !fs::is_regular_file(*source, error) || newFile == nullptr ||
      !sim::FileFunctionsTake(newFile) || sim::Win32CallFails(sim::FaultKind::kCopyFails)) {
    return FALSE;
  }
  const std::optional<std::string> target = sim::LinuxPath(newFile);
  if (!target) {
    return FALSE;
  }
  // An existing file is replaced unless the caller says not to, or it is read-only.
  if (fs::exists(*target, error) && (failIfExists || sim::IsReadOnly(*target))) {
    return FALSE;
  }
  if (!fs::copy_file(*source, *target, fs::copy_options::overwrite_existing, error)) {
    return FALSE;
  }
  sim::SetReadOnly(*target, sim::IsReadOnly(*source));
  return TRUE;
}

BOOL SetFileAttributesW(LPCWSTR fileName, DWORD attributes) {
  const sim::SimHost::HostCode hostCode;
  const std::optional<std::string> path = ExistingEntry(fileName);
  if (!path) {
    return FALSE;
  }
  sim::SetReadOnly(*path, (attributes & FILE_ATTRIBUTE_READONLY) != 0);
  return TRUE;
}

BOOL DeleteFileW(LPCWSTR fileName) {
  const sim::SimHost::HostCode hostCode;
  const std::optional<std::string> path = ExistingEntry(fileName);
  std::error_code error;
  if (!path || !fs::is_regular_file(*path, error) || sim::IsReadOnly(*path) ||
      sim::Win32CallFails(sim::FaultKind::kCopyNotDeleted)) {
    return FALSE;
  }
  return fs::remove(*path, error) ? TRUE : FALSE;
}
}
