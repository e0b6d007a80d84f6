// The verdicts on the plug-in and the host where they follow the loader beyond one file: the
// host's forwarders and its own imports, followed to Windows, to the host itself and to the
// game folder's other libraries; and the plug-in's imports from the host, which only a damaged
// file takes under names no host function has. The plug-in loader's rows: what a file under a
// system library's name must export, and what tells the system's own copy.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "player/library_checks.h"
#include "player/loader_checks.h"
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

// The loader's rows, judged against a system copy made here.

// A DLL that names the files plug-in loaders search for, exporting `functions`.
std::vector<std::uint8_t> LoaderWith(const std::vector<std::string>& functions) {
  PeContents loader;
  loader.imports = {{"KERNEL32.dll", {"LoadLibraryW"}}};
  loader.exports = functions;
  std::vector<std::uint8_t> bytes = BuildPe(loader).bytes;
  const std::string pattern = "*.asi";
  bytes.insert(bytes.end(), pattern.begin(), pattern.end());
  return bytes;
}

// The system's copy of a library exporting `functions`, as ReadSystemCopy gives it.
SystemCopy SystemExporting(const std::vector<std::string>& functions) {
  PeContents system;
  system.imports = {{"KERNEL32.dll", {"Sleep"}}};
  system.exports = functions;
  system.builtName = "winmm.dll";
  const std::vector<std::uint8_t> bytes = BuildPe(system).bytes;
  return {.whyNotRead = "",
          .shownFolder = "C:\\windows\\system32",
          .bytes = std::string(bytes.begin(), bytes.end()),
          .functions = functions};
}

FileVerdict JudgeWinmm(const std::vector<std::uint8_t>& bytes, const SystemCopy& system) {
  return JudgeLoaderFile(
      "winmm.dll", Found(bytes),
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), {}, {}, system);
}

TEST(LibraryChecks, ALoaderMustExportEveryFunctionOfTheSystemsCopy) {
  const std::vector<std::string> all = {"PlaySoundA",    "mciSendStringA", "timeBeginPeriod",
                                        "timeEndPeriod", "timeGetTime",    "waveOutOpen"};
  const SystemCopy system = SystemExporting(all);
  const FileVerdict complete = JudgeWinmm(LoaderWith(all), system);
  EXPECT_TRUE(complete.Sound()) << ProblemsOf(complete);
  EXPECT_NE(complete.finding.find("it looks like a plug-in loader"), std::string::npos);
  EXPECT_NE(complete.finding.find("it exports all 6 functions of the system's own winmm.dll"),
            std::string::npos);
  EXPECT_EQ(complete.loadsIf, "the game loads winmm.dll");

  // Three, four and five lacking: four are named, the rest counted.
  const std::string consequence =
      "whatever imports winmm.dll in the game's process gets this file in place of the system's "
      "(the game, and the system's own libraries that need it), and the game stops at the first "
      "call of one\n";
  FileVerdict verdict =
      JudgeWinmm(LoaderWith({"PlaySoundA", "mciSendStringA", "timeBeginPeriod"}), system);
  EXPECT_EQ(ProblemsOf(verdict),
            "it lacks 3 of the 6 functions the system's own winmm.dll exports (timeEndPeriod, "
            "timeGetTime and waveOutOpen): " +
                consequence);
  EXPECT_TRUE(verdict.loadsIf.empty());
  EXPECT_NE(verdict.advice.find("no complete stand-in for winmm.dll"), std::string::npos);
  verdict = JudgeWinmm(LoaderWith({"PlaySoundA", "mciSendStringA"}), system);
  EXPECT_EQ(ProblemsOf(verdict),
            "it lacks 4 of the 6 functions the system's own winmm.dll exports (timeBeginPeriod, "
            "timeEndPeriod, timeGetTime and waveOutOpen): " +
                consequence);
  verdict = JudgeWinmm(LoaderWith({"PlaySoundA"}), system);
  EXPECT_EQ(ProblemsOf(verdict),
            "it lacks 5 of the 6 functions the system's own winmm.dll exports (mciSendStringA, "
            "timeBeginPeriod, timeEndPeriod, timeGetTime and 1 more): " +
                consequence);

  // Without a system copy to read, what could not be checked is said, and nothing is claimed.
  const SystemCopy none{
      .whyNotRead = "there is no Wine prefix", .shownFolder = "", .bytes = "", .functions = {}};
  verdict = JudgeWinmm(LoaderWith({"PlaySoundA"}), none);
  EXPECT_TRUE(verdict.Sound());
  EXPECT_NE(verdict.finding.find("whether it exports every function of the system's own "
                                 "winmm.dll could not be checked: there is no Wine prefix"),
            std::string::npos);
}

TEST(LibraryChecks, TheSystemsOwnCopyIsNoLoaderWhateverItsImports) {
  const SystemCopy system = SystemExporting({"PlaySoundA", "timeGetTime"});
  const std::vector<std::uint8_t> same(system.bytes.begin(), system.bytes.end());
  FileVerdict verdict = JudgeWinmm(same, system);
  EXPECT_EQ(ProblemsOf(verdict),
            "it is not a plug-in loader: it is the system's own winmm.dll, the same bytes as the "
            "copy in C:\\windows\\system32, which loads no plug-in, so nothing loads "
            "Holdout.asi\n");
  EXPECT_NE(verdict.advice.find("delete this winmm.dll"), std::string::npos);

  // The same copy with an import table the reader refuses: still the system's own, not damaged.
  PeContents damaged;
  damaged.imports = {{"KERNEL32.dll", {"Sleep"}}, {"kernel32.dll", {"GetTickCount"}}};
  damaged.exports = {"PlaySoundA"};
  holdout_test::BuiltPe built = BuildPe(damaged);
  holdout_test::Put32(built.bytes, built.importDirectoryEntry, 0x7FFFFFF0);
  SystemCopy damagedSystem = system;
  damagedSystem.bytes.assign(built.bytes.begin(), built.bytes.end());
  verdict = JudgeWinmm(built.bytes, damagedSystem);
  EXPECT_NE(ProblemsOf(verdict).find("it is the system's own winmm.dll, the same bytes"),
            std::string::npos)
      << ProblemsOf(verdict);
  // One byte different: judged as a file of its own, which the reader refuses.
  built.bytes.push_back(0);
  verdict = JudgeWinmm(built.bytes, damagedSystem);
  EXPECT_EQ(ProblemsOf(verdict).find("the same bytes"), std::string::npos);
  EXPECT_NE(verdict.advice.find("install winmm.dll again"), std::string::npos);

  // Another version of the system's library: its export table names it so, and it names no .asi;
  // also when its imports do not read.
  PeContents other;
  other.imports = {{"KERNEL32.dll", {"Sleep"}}};
  other.exports = {"PlaySoundA"};
  other.builtName = "WINMM.dll";
  built = BuildPe(other);
  for (int damage = 0; damage < 2; ++damage) {
    verdict = JudgeWinmm(built.bytes, system);
    EXPECT_EQ(ProblemsOf(verdict),
              "it is not a plug-in loader: it is a copy of the system's own winmm.dll (its export "
              "table names it so), which loads no plug-in, so nothing loads Holdout.asi\n");
    holdout_test::Put32(built.bytes, built.importDirectoryEntry, 0x7FFFFFF0);
  }
}

}  // namespace
