// The settings file's path for the wide profile functions, through GetModuleFileNameW, and its
// copy in the temp folder, through GetTempPathW, GetTempFileNameW, CopyFileW and
// SetFileAttributesW. Where WCHAR is wchar_t (the system headers) it is UTF-16 all the same, so
// the UTF-16 strings here are handed to the functions as they are.
#include "settings/profile_path.h"

#include <string_view>
#include <vector>

#include "platform/win32_functions.h"

namespace {

static_assert(sizeof(WCHAR) == sizeof(char16_t), "WCHAR is a UTF-16 unit on every build");

// The start of the copy's file name ("Hol1A2B.TMP").
constexpr char16_t kCopyPrefix[] = u"Hol";

const WCHAR* Wide(const std::u16string& text) {
  return reinterpret_cast<const WCHAR*>(text.c_str());
}

WCHAR* Wide(std::u16string& text) {
  return reinterpret_cast<WCHAR*>(text.data());
}

// The path with the \\?\ prefix that lifts MAX_PATH for the file functions: a network path
// (\\server\share) as \\?\UNC\server\share; a path that has the prefix already, or another
// form starting with two backslashes, as it is.
std::u16string LongPathForm(const std::u16string& path) {
  const std::u16string_view longPrefix = u"\\\\?\\";
  const std::u16string_view networkPrefix = u"\\\\";
  if (path.starts_with(longPrefix) || path.starts_with(u"\\\\.\\")) {
    return path;
  }
  if (path.starts_with(networkPrefix)) {
    return std::u16string(u"\\\\?\\UNC\\") + path.substr(networkPrefix.size());
  }
  return std::u16string(longPrefix) + path;
}

// The characters of a zero-terminated text at the start of `buffer`, without the terminator.
void CutAtTerminator(std::u16string& buffer) {
  buffer.resize(std::char_traits<char16_t>::length(buffer.c_str()));
}

}  // namespace

std::u16string ExecutableFolder() {
  std::vector<WCHAR> buffer(64);
  DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  while (length == buffer.size()) {
    buffer.assign(buffer.size() * 2, 0);
    length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  }
  const std::u16string executable(reinterpret_cast<const char16_t*>(buffer.data()), length);
  const std::size_t separator = executable.find_last_of(u"\\/");
  return separator == std::u16string::npos ? std::u16string(u".\\")
                                           : executable.substr(0, separator + 1);
}

bool ProfileFunctionsOpen(const std::u16string& path) {
  return path.size() < kProfilePathCapacity;
}

std::optional<std::u16string> TempFolderForCopy() {
  std::u16string folder(kTempFolderCapacity + 1, u'\0');
  const DWORD length = GetTempPathW(static_cast<DWORD>(folder.size()), Wide(folder));
  if (length == 0 || length > kTempFolderCapacity) {
    return std::nullopt;
  }
  folder.resize(length);
  return folder;
}

// Every allocation comes before GetTempFileNameW creates the file, so that nothing can throw
// between the file's creation and the return that hands it to the caller to delete.
std::optional<std::u16string> CopyForProfileFunctions(const std::u16string& path) {
  const std::u16string source = LongPathForm(path);
  const std::optional<std::u16string> folder = TempFolderForCopy();
  if (!folder) {
    return std::nullopt;
  }
  // Room for the MAX_PATH characters GetTempFileNameW may write, whose folder is short enough
  // that the name always fits.
  std::optional<std::u16string> copy(std::in_place, kProfilePathCapacity, u'\0');
  if (GetTempFileNameW(Wide(*folder), reinterpret_cast<const WCHAR*>(kCopyPrefix), 0, Wide(*copy)) == 0) {
    return std::nullopt;
  }
  CutAtTerminator(*copy);
  if (CopyFileW(Wide(source), Wide(*copy), FALSE) == 0) {
    DeleteFileW(Wide(*copy));
    return std::nullopt;
  }
  // A read-only file's copy is read-only too, and DeleteFileW refuses such a file.
  SetFileAttributesW(Wide(*copy), FILE_ATTRIBUTE_NORMAL);
  return copy;
}
