// doctor on game folders made of small built images: what it says about each file, when Holdout
// will load, the exit codes, and that it leaves the folder exactly as it was. Each test runs in a
// fresh process: judging a settings file loads it into the plug-in's settings record.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "doctor.h"
#include "support/fresh_process.h"
#include "support/pe_builder.h"

namespace {

namespace fs = std::filesystem;
using holdout_test::BuildPe;
using holdout_test::PeSpec;

const std::vector<std::string> HostFunctions = {
    "?nativeCall@@YAPEA_KXZ",
    "?scriptWait@@YAXK@Z",
    "?worldGetAllPeds@@YAHPEAHH@Z",
};

PeSpec Plugin() {
  PeSpec layout;
  layout.imports = {{"KERNEL32.dll", {"GetTickCount"}},
                    {"msvcrt.dll", {"fopen"}},
                    {"ScriptHookFrontier.dll", HostFunctions}};
  layout.exports = {"DllMain"};
  return layout;
}

PeSpec Host() {
  PeSpec layout;
  layout.imports = {{"KERNEL32.dll", {"Sleep"}}};
  layout.exports = HostFunctions;
  return layout;
}

// A game folder of its own, removed at the end.
class GameFolder {
 public:
  GameFolder() {
    std::string pattern = (fs::temp_directory_path() / "holdout-doctor-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) != nullptr ? pattern : "";
  }
  ~GameFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream(path_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  void WriteText(const std::string& name, const std::string& text) const {
    Write(name, std::vector<std::uint8_t>(text.begin(), text.end()));
  }
  // A complete install: the host, and Holdout.dll taking three functions from it.
  void Install(const PeSpec& plugin = Plugin(), const PeSpec& host = Host()) const {
    Write("Holdout.dll", BuildPe(plugin).bytes);
    Write("ScriptHookFrontier.dll", BuildPe(host).bytes);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

DoctorReport Diagnosed(const GameFolder& folder) {
  std::string whyNot;
  const std::optional<DoctorReport> report = Diagnose(folder.Path(), whyNot);
  EXPECT_TRUE(report.has_value()) << whyNot;
  return report.value_or(DoctorReport{});
}

const FileVerdict& VerdictOn(const DoctorReport& report, const std::string& file) {
  static const FileVerdict none;
  const auto found = std::find_if(report.verdicts.begin(), report.verdicts.end(),
                                  [&file](const FileVerdict& v) { return v.file == file; });
  EXPECT_NE(found, report.verdicts.end()) << file;
  return found == report.verdicts.end() ? none : *found;
}

// The problems of one file, joined, for matching words in them.
std::string ProblemsOf(const DoctorReport& report, const std::string& file) {
  std::string joined;
  for (const std::string& problem : VerdictOn(report, file).problems) {
    joined += problem + "\n";
  }
  return joined;
}

bool Says(const std::string& text, const std::string& words) {
  return text.find(words) != std::string::npos;
}

SCENARIO_TEST(Doctor, ACompleteFolderWillLoadWithNoProblem) {
  const GameFolder folder;
  folder.Install();
  const DoctorReport report = Diagnosed(folder);
  EXPECT_TRUE(report.willLoad);
  for (const FileVerdict& verdict : report.verdicts) {
    EXPECT_TRUE(verdict.Sound()) << verdict.file << ": " << ProblemsOf(report, verdict.file);
  }
  EXPECT_TRUE(Says(VerdictOn(report, "ScriptHookFrontier.dll").finding, "all 3 functions"));
  EXPECT_TRUE(Says(VerdictOn(report, "Holdout.dll").finding, "KERNEL32.dll and msvcrt.dll"));
  EXPECT_TRUE(Says(VerdictOn(report, "Holdout.ini").finding, "takes its default"));
  EXPECT_TRUE(Says(VerdictOn(report, "Holdout.log").finding, "creates it"));
}

SCENARIO_TEST(Doctor, NamesTheFunctionsAHostLacksByTheirSignatures) {
  const GameFolder folder;
  PeSpec oldHost = Host();
  oldHost.exports.pop_back();
  folder.Install(Plugin(), oldHost);
  const DoctorReport report = Diagnosed(folder);
  EXPECT_FALSE(report.willLoad);
  const FileVerdict& host = VerdictOn(report, "ScriptHookFrontier.dll");
  ASSERT_EQ(host.problems.size(), 1u);
  EXPECT_EQ(host.problems[0],
            "it lacks int __cdecl worldGetAllPeds(int *, int) (exported as "
            "?worldGetAllPeds@@YAHPEAHH@Z)");
  EXPECT_TRUE(Says(host.advice, "older than Holdout needs, or is not the host Holdout was built"));
  EXPECT_TRUE(VerdictOn(report, "Holdout.dll").Sound());
}

SCENARIO_TEST(Doctor, AMissingOrForeignHostIsNamedAsSuch) {
  const GameFolder folder;
  folder.Write("Holdout.dll", BuildPe(Plugin()).bytes);
  EXPECT_EQ(ProblemsOf(Diagnosed(folder), "ScriptHookFrontier.dll"), "it is not in this folder\n");

  folder.WriteText("ScriptHookFrontier.dll", "<html>Not found</html>\n");
  EXPECT_TRUE(Says(ProblemsOf(Diagnosed(folder), "ScriptHookFrontier.dll"), "a text file"));

  PeSpec program = Host();
  program.dll = false;
  folder.Write("ScriptHookFrontier.dll", BuildPe(program).bytes);
  EXPECT_TRUE(Says(ProblemsOf(Diagnosed(folder), "ScriptHookFrontier.dll"), "a program"));
  EXPECT_FALSE(Diagnosed(folder).willLoad);
}

SCENARIO_TEST(Doctor, JudgesHoldoutDllItself) {
  const GameFolder folder;
  folder.Install();
  std::vector<std::uint8_t> cut = BuildPe(Plugin()).bytes;
  cut.resize(cut.size() / 2);
  folder.Write("Holdout.dll", cut);
  DoctorReport report = Diagnosed(folder);
  EXPECT_TRUE(Says(ProblemsOf(report, "Holdout.dll"), "it is cut short"));
  EXPECT_TRUE(Says(VerdictOn(report, "ScriptHookFrontier.dll").finding, "not compared"))
      << "what the host must export is unknown without a sound Holdout.dll";
  EXPECT_FALSE(report.willLoad);

  PeSpec dependent = Plugin();
  dependent.imports.push_back({"libstdc++-6.dll", {"_ZSt4cout"}});
  folder.Write("Holdout.dll", BuildPe(dependent).bytes);
  EXPECT_EQ(ProblemsOf(Diagnosed(folder), "Holdout.dll"),
            "it needs libstdc++-6.dll, which is not a part of Windows\n");

  PeSpec unrelated = Plugin();
  unrelated.imports.pop_back();
  folder.Write("Holdout.dll", BuildPe(unrelated).bytes);
  EXPECT_TRUE(Says(ProblemsOf(Diagnosed(folder), "Holdout.dll"), "not a build of Holdout"));
}

SCENARIO_TEST(Doctor, FindsTheFilesWhateverTheirCapitals) {
  const GameFolder folder;
  folder.Write("holdout.DLL", BuildPe(Plugin()).bytes);
  folder.Write("scripthookfrontier.dll", BuildPe(Host()).bytes);
  folder.WriteText("HOLDOUT.INI", "[Main]\nMaxEnemies=5\n");
  const DoctorReport report = Diagnosed(folder);
  EXPECT_TRUE(report.willLoad);
  EXPECT_EQ(ProblemsOf(report, "Holdout.ini"), "MaxEnemies 5 is outside 10..512 and becomes 10\n");
}

SCENARIO_TEST(Doctor, GivesCheckInisProblemsOneLineEachAndStillLoads) {
  const GameFolder folder;
  folder.Install();
  folder.WriteText("Holdout.ini", "[KeyBinds]\nRotateObject=255\nSpawnerMenu=114\n");
  const DoctorReport report = Diagnosed(folder);
  EXPECT_TRUE(report.willLoad);
  const FileVerdict& ini = VerdictOn(report, "Holdout.ini");
  ASSERT_EQ(ini.problems.size(), 2u);
  EXPECT_EQ(ini.problems[0], "RotateObject = 255 can never fire");
  EXPECT_TRUE(Says(ini.problems[1], "bound to ActivateMod and SpawnerMenu"));
  EXPECT_TRUE(Says(ini.advice, "holdout check-ini"));

  fs::remove(folder.Path() / "Holdout.ini");
  fs::create_directory(folder.Path() / "Holdout.ini");
  EXPECT_TRUE(Says(ProblemsOf(Diagnosed(folder), "Holdout.ini"), "it is a folder"));
}

SCENARIO_TEST(Doctor, ChecksTheLogWithoutTouchingIt) {
  const GameFolder folder;
  folder.Install();
  const std::string line = "You survived for 1:00 and got 3 kill(s) (70 max enemies)\n";
  folder.WriteText("Holdout.log", line);
  const fs::path log = folder.Path() / "Holdout.log";
  const fs::file_time_type written = fs::last_write_time(log);
  EXPECT_EQ(VerdictOn(Diagnosed(folder), "Holdout.log").finding, "a line can be appended to it");
  EXPECT_EQ(fs::file_size(log), line.size());
  EXPECT_EQ(fs::last_write_time(log), written);

  fs::remove(log);
  fs::create_directory(log);
  EXPECT_TRUE(Says(ProblemsOf(Diagnosed(folder), "Holdout.log"), "it is not a file"));
  fs::remove(log);
  if (geteuid() != 0) {  // the superuser may write anywhere
    fs::permissions(folder.Path(), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_TRUE(Says(ProblemsOf(Diagnosed(folder), "Holdout.log"), "no file can be created"));
    fs::permissions(folder.Path(), fs::perms::owner_write, fs::perm_options::add);
  }
  EXPECT_FALSE(fs::exists(log)) << "doctor created the log";
}

SCENARIO_TEST(Doctor, ExitCodesAndAFolderLeftAsItWas) {
  const GameFolder folder;
  folder.Install();
  folder.WriteText("Holdout.ini", "[Main]\nDebug=1\n");
  const auto listing = [&folder] {
    std::vector<std::string> entries;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.Path())) {
      entries.push_back(entry.path().filename().string() + " " + std::to_string(entry.file_size()) +
                        " " + std::to_string(entry.last_write_time().time_since_epoch().count()));
    }
    std::sort(entries.begin(), entries.end());
    return entries;
  };
  const std::vector<std::string> before = listing();
  std::string path = folder.Path().string();
  char* one[] = {path.data()};
  EXPECT_EQ(RunDoctor(1, one), 0);
  EXPECT_EQ(listing(), before);

  folder.WriteText("Holdout.ini", "[Main]\nMaxEnemies=1000\n");
  EXPECT_EQ(RunDoctor(1, one), 1);
  fs::remove(folder.Path() / "ScriptHookFrontier.dll");
  EXPECT_EQ(RunDoctor(1, one), 1);

  std::string missing = path + "/no-such-folder";
  char* unreadable[] = {missing.data()};
  EXPECT_EQ(RunDoctor(1, unreadable), 3);
  char* two[] = {path.data(), path.data()};
  EXPECT_EQ(RunDoctor(2, two), 2);
}

}  // namespace
