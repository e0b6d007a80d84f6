// Library names: Windows's own libraries and the file a name stands for.
#include "player/library_files.h"

#include <algorithm>
#include <iterator>

#include "sentences/text.h"

namespace {

// Libraries every Windows installation provides, in lower case; with the prefixes below, and
// the Microsoft C++ runtimes that games install with themselves.
constexpr const char* kSystemLibraries[] = {
    "advapi32.dll",  "avrt.dll",      "bcrypt.dll",      "cfgmgr32.dll",       "combase.dll",
    "comctl32.dll",  "comdlg32.dll",  "crypt32.dll",     "d3d9.dll",           "d3d10.dll",
    "d3d10_1.dll",   "d3d11.dll",     "d3d12.dll",       "d3dcompiler_43.dll", "d3dcompiler_47.dll",
    "dbghelp.dll",   "dinput.dll",    "dinput8.dll",     "dnsapi.dll",         "dsound.dll",
    "dwmapi.dll",    "dxgi.dll",      "gdi32.dll",       "gdiplus.dll",        "hid.dll",
    "imm32.dll",     "iphlpapi.dll",  "kernel32.dll",    "kernelbase.dll",     "mpr.dll",
    "msimg32.dll",   "msvcrt.dll",    "netapi32.dll",    "normaliz.dll",       "ntdll.dll",
    "ole32.dll",     "oleaut32.dll",  "opengl32.dll",    "powrprof.dll",       "psapi.dll",
    "rpcrt4.dll",    "secur32.dll",   "setupapi.dll",    "shcore.dll",         "shell32.dll",
    "shlwapi.dll",   "ucrtbase.dll",  "user32.dll",      "userenv.dll",        "uxtheme.dll",
    "version.dll",   "winhttp.dll",   "wininet.dll",     "winmm.dll",          "wintrust.dll",
    "wldap32.dll",   "ws2_32.dll",    "wsock32.dll",     "xaudio2_7.dll",      "xaudio2_9.dll",
    "xinput1_3.dll", "xinput1_4.dll", "xinput9_1_0.dll",
};
constexpr const char* kSystemPrefixes[] = {"api-ms-win-", "ext-ms-", "msvcp", "vcruntime",
                                           "concrt"};

}  // namespace

bool IsSystemLibrary(const std::string& fileName) {
  const std::string lower = Lower(LibraryFileName(fileName));
  return std::any_of(std::begin(kSystemPrefixes), std::end(kSystemPrefixes),
                     [&lower](const char* prefix) { return lower.rfind(prefix, 0) == 0; }) ||
         std::find(std::begin(kSystemLibraries), std::end(kSystemLibraries), lower) !=
             std::end(kSystemLibraries);
}

std::string LibraryFileName(const std::string& name) {
  return name.find('.') == std::string::npos ? name + ".dll" : name;
}
