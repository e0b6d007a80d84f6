// The file and environment functions the plug-in calls, as the simulated host answers them on
// Linux: the temp folder is the host's (SimHost::TempFolder), LOCALAPPDATA and the folders that
// refuse writes are the file system's settings (core/windows_paths.h), and files are found as
// the simulated file system finds them. A file of its own because the C++ runtime on Windows
// calls these functions too (the standard library's temp folder, copies and removals): the
// Windows programs that run the plug-in in the simulated host leave it out and keep the
// system's. Each fails on the fault injector's countdown as its row says (core/fault_table.h).
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

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

// The files CreateFileW opened and no CloseHandle closed yet: the handles it gave are these.
std::vector<std::FILE*> openFiles;

// The open file a handle names; null for any other handle.
std::FILE* OpenFile(HANDLE handle) {
  const auto found = std::find(openFiles.begin(), openFiles.end(), handle);
  return found != openFiles.end() ? *found : nullptr;
}

// True when a path names an entry that the file functions take, in a folder that takes writes.
std::optional<std::string> WritablePath(LPCWSTR path) {
  if (path == nullptr || !sim::FileFunctionsTake(path)) {
    return std::nullopt;
  }
  std::optional<std::string> linuxPath = sim::LinuxPath(path);
  return linuxPath && !sim::RefusesWrites(*linuxPath) ? linuxPath : std::nullopt;
}

// True when a path is a bare name, of a file in the working folder.
bool InWorkingFolder(LPCWSTR path) {
  return path != nullptr && std::u16string_view(path).find_first_of(u"\\/:") == std::u16string_view::npos;
}

// The working folder is on a volume without access lists (a FAT32 or exFAT drive, a network
// share), where only the share and a file's read-only attribute refuse a write, and its share
// turns read-only as the fault injector strikes: the share takes no new file, and a file there
// shows the read-only attribute from then on. True when the file at `path` is refused so.
bool ShareTurnsReadOnly(const std::string& path) {
  if (!sim::Win32CallFails(sim::FaultKind::kVolumeWithoutAccessLists)) {
    return false;
  }
  std::error_code error;
  if (fs::exists(path, error)) {
    sim::SetReadOnly(path, true);
  }
  return true;
}

// A variable's name compared as Windows compares them, ASCII letters' case aside.
bool SameName(LPCWSTR name, std::u16string_view known) {
  std::size_t i = 0;
  for (; name[i] != 0 && i < known.size(); ++i) {
    const auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c; };
    if (upper(name[i]) != upper(known[i])) {
      return false;
    }
  }
  return name[i] == 0 && i == known.size();
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

// Only what the plug-in asks for is simulated: appending, the file made when absent.
HANDLE CreateFileW(LPCWSTR fileName, DWORD access, DWORD /*shareMode*/,
                   LPSECURITY_ATTRIBUTES /*security*/, DWORD disposition,
                   DWORD /*flagsAndAttributes*/, HANDLE /*templateFile*/) {
  const sim::SimHost::HostCode hostCode;
  if (access != FILE_APPEND_DATA || disposition != OPEN_ALWAYS) {
    if (sim::SimHost* host = sim::SimHost::Current()) {
      host->Fault("CreateFileW: only appending (FILE_APPEND_DATA, OPEN_ALWAYS) is simulated");
    }
    return INVALID_HANDLE_VALUE;
  }
  const std::optional<std::string> path = WritablePath(fileName);
  std::error_code error;
  if (sim::Win32CallFails(sim::FaultKind::kEveryFolderRefusesWrites) ||
      (InWorkingFolder(fileName) &&
       sim::Win32CallFails(sim::FaultKind::kWorkingFolderRefusesWrites))) {
    return INVALID_HANDLE_VALUE;
  }
  if (!path || (InWorkingFolder(fileName) && ShareTurnsReadOnly(*path)) ||
      fs::is_directory(*path, error) ||
      (fs::exists(*path, error) && sim::IsReadOnly(*path))) {
    return INVALID_HANDLE_VALUE;
  }
  std::FILE* file = std::fopen(path->c_str(), "ab");
  if (file == nullptr) {
    return INVALID_HANDLE_VALUE;
  }
  openFiles.push_back(file);
  return file;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD written,
               LPOVERLAPPED /*overlapped*/) {
  const sim::SimHost::HostCode hostCode;
  std::FILE* open = OpenFile(file);
  if (written != nullptr) {
    *written = 0;
  }
  if (open == nullptr || (buffer == nullptr && size != 0)) {
    return FALSE;
  }
  const std::size_t count = std::fwrite(buffer, 1, size, open);
  if (written != nullptr) {
    *written = static_cast<DWORD>(count);
  }
  return count == size && std::fflush(open) == 0 ? TRUE : FALSE;
}

BOOL CloseHandle(HANDLE handle) {
  const sim::SimHost::HostCode hostCode;
  std::FILE* open = OpenFile(handle);
  if (open == nullptr) {
    return FALSE;
  }
  openFiles.erase(std::find(openFiles.begin(), openFiles.end(), open));
  return std::fclose(open) == 0 ? TRUE : FALSE;
}

// The simulated environment holds LOCALAPPDATA alone.
DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size) {
  const sim::SimHost::HostCode hostCode;
  if (name == nullptr || !SameName(name, u"LOCALAPPDATA") ||
      sim::fileSystemSettings.localAppData.empty()) {
    return 0;
  }
  return CopyOut(sim::Utf16FromUtf8(sim::fileSystemSettings.localAppData), buffer, size);
}

BOOL CreateDirectoryW(LPCWSTR pathName, LPSECURITY_ATTRIBUTES /*security*/) {
  const sim::SimHost::HostCode hostCode;
  constexpr std::size_t kFolderPathLimit = sim::kMaxPath - 12;
  if (pathName == nullptr ||
      (!std::u16string_view(pathName).starts_with(sim::kLongPathPrefix) &&
       std::u16string_view(pathName).size() >= kFolderPathLimit)) {
    return FALSE;
  }
  const std::optional<std::string> path = WritablePath(pathName);
  std::error_code error;
  return path && fs::create_directory(*path, error) ? TRUE : FALSE;
}
}
