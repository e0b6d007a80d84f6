// The verdicts on the plug-in and the host where they follow the loader beyond one file: the
// host's forwarders and its own imports, followed to Windows, to the host itself and to the
// game folder's other libraries; and the plug-in's imports from the host, which only a damaged
// file takes under names no host function has.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "player/library_checks.h"
#include "support/pe_builder.h"

namespace {

using holdout_test::BuildPe;
using holdout_test::PeContents;

const std::vector<std::string> kHostFunctions = {"?nativeCall@@YAPEA_KXZ", "?scriptWait@@YAXK@Z"};
constexpr const char* kWait = "?scriptWait@@YAXK@Z";
constexpr const char* kWaitNamed =
    "void __cdecl scriptWait(unsigned long) (exported as ?scriptWait@@YAXK@Z)";

PeContents Plugin() {
  PeContents layout;
  layout.imports = {{"KERNEL32.dll", {"GetTickCount"}}, {kHostFileName, kHostFunctions}};
  layout.exports = {"DllMain"};
  return layout;
}

PeContents Host() {
  PeContents layout;
  layout.imports = {{"KERNEL32.dll", {"Sleep"}}};
  layout.exports = kHostFunctions;
  return layout;
}

FoundLibrary Found(const std::vector<std::uint8_t>& bytes) {
  FoundLibrary found;
  found.state = FoundLibrary::State::kRead;
  found.reading = ReadPeImage(bytes);
  return found;
}

FoundLibrary Found(const PeContents& layout) {
  return Found(BuildPe(layout).bytes);
}

// A game folder of built libraries, looked up by name without regard to case.
LibraryLookup Folder(std::map<std::string, std::vector<std::uint8_t>> files) {
  return [files = std::move(files)](const std::string& name) {
    for (const auto& [file, bytes] : files) {
      if (std::equal(file.begin(), file.end(), name.begin(), name.end(),
                     [](char a, char b) { return std::tolower(a) == std::tolower(b); })) {
        return Found(bytes);
      }
    }
    return FoundLibrary{};
  };
}

std::string ProblemsOf(const FileVerdict& verdict) {
  std::string joined;
  for (const Problem& problem : verdict.problems) {
    joined += problem.sentence + "\n";
  }
  return joined;
}

std::string HostProblems(const PeContents& host, const LibraryLookup& folder = {}) {
  return ProblemsOf(JudgeHost(Found(host), Found(Plugin()), folder));
}

PeContents Forwarding(const std::string& to) {
  PeContents host = Host();
  host.forwards = {{kWait, to}};
  return host;
}

TEST(LibraryChecks, TheHostsForwardersAreFollowedToWindowsItselfAndTheFolder) {
  PeContents helper;
  helper.imports = {{"KERNEL32.dll", {"Sleep"}}};
  helper.exports = {"Wait"};
  const LibraryLookup folder = Folder({{"Helper.dll", BuildPe(helper).bytes}});

  EXPECT_EQ(HostProblems(Forwarding("KERNEL32.Sleep")), "");
  EXPECT_EQ(HostProblems(Forwarding("ScriptHookFrontier.#1")), "");
  EXPECT_EQ(HostProblems(Forwarding("HELPER.Wait"), folder), "");
  EXPECT_EQ(HostProblems(Forwarding("Helper.Wait")),
            std::string("it forwards ") + kWaitNamed +
                " to Helper.dll, which is neither a part of Windows nor in this folder\n");
  EXPECT_EQ(
      HostProblems(Forwarding("Helper.Run"), folder),
      std::string("it forwards ") + kWaitNamed + " to Helper.dll, which does not export it\n");
  EXPECT_EQ(HostProblems(Forwarding("ScriptHookFrontier.#3")),
            std::string("it forwards ") + kWaitNamed +
                " to ScriptHookFrontier.dll, which does not export it\n");
  EXPECT_EQ(HostProblems(Forwarding(std::string("ScriptHookFrontier.") + kWait)),
            std::string("it forwards ") + kWaitNamed + " round in a circle\n");
  EXPECT_EQ(HostProblems(Forwarding("Nowhere")),
            std::string("it forwards ") + kWaitNamed + " to \"Nowhere\", which names no library\n");

  std::vector<std::uint8_t> cut = BuildPe(helper).bytes;
  cut.resize(cut.size() / 2);
  EXPECT_NE(HostProblems(Forwarding("Helper.Wait"), Folder({{"Helper.dll", cut}}))
                .find("to Helper.dll, which Windows cannot load (it is cut short"),
            std::string::npos);
}

TEST(LibraryChecks, TheHostsOwnLibrariesMustBeThere) {
  PeContents host = Host();
  host.imports.push_back({"Helper", {"Run"}});
  PeContents helper;
  helper.imports = {{"KERNEL32.dll", {"Sleep"}}};
  helper.exports = {"Run"};
  EXPECT_EQ(HostProblems(host),
            "it needs Helper, which is neither a part of Windows nor in this folder\n");
  EXPECT_EQ(HostProblems(host, Folder({{"helper.dll", BuildPe(helper).bytes}})), "");

  host.imports = {{"KERNEL32.dll", {"Sleep"}}, {"kernel32.dll", {"GetTickCount"}}};
  EXPECT_EQ(HostProblems(host), "its import table is damaged: it names kernel32.dll twice\n");
  host.imports = {{"MZ\x90", {"Sleep"}}};
  EXPECT_EQ(HostProblems(host), "its import table is damaged: it needs a library named \"MZ?\"\n");
  host.imports.clear();
  EXPECT_EQ(HostProblems(host),
            "it imports nothing, not even from Windows, so its import table is damaged\n");
}

TEST(LibraryChecks, APluginTakingANameNoHostFunctionHasIsDamaged) {
  PeContents plugin = Plugin();
  plugin.imports[1].functions.push_back("GetTickCount");
  EXPECT_EQ(ProblemsOf(JudgePlugin(Found(plugin))),
            "its import table is damaged: it takes \"GetTickCount\" from ScriptHookFrontier.dll, "
            "which is no name of a function of the host\n");
  EXPECT_EQ(JudgeHost(Found(Host()), Found(plugin)).finding,
            "a 64-bit DLL (its exports are not compared: Holdout.asi has problems)");
}

}  // namespace
