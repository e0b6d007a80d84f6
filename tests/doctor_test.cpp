// doctor on game folders made of small built images: what it says about each file, when Holdout
// will load, the exit codes, and that it leaves the folder exactly as it was. Each test runs in a
// fresh process: judging a settings file loads it into the plug-in's settings record.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "binary_reader/pe_version.h"
#include "player/build_identity.h"
#include "player/doctor.h"
#include "player/doctor_places.h"
#include "player/file_access.h"
#include "player/in_game_check.h"
#include "player/loader_checks.h"
#include "player/sha256.h"
#include "support/fresh_process.h"
#include "support/pe_builder.h"

namespace {

namespace fs = std::filesystem;
using holdout_test::BuildPe;
using holdout_test::PeContents;

const std::vector<std::string> kHostFunctions = {
    "?nativeCall@@YAPEA_KXZ",
    "?scriptWait@@YAXK@Z",
    "?worldGetAllPeds@@YAHPEAHH@Z",
};

PeContents Plugin() {
  PeContents layout;
  layout.imports = {{"KERNEL32.dll", {"GetTickCount"}},
                    {"msvcrt.dll", {"fopen"}},
                    {"ScriptHookFrontier.dll", kHostFunctions}};
  layout.exports = {"DllMain"};
  return layout;
}

PeContents Host() {
  PeContents layout;
  layout.imports = {{"KERNEL32.dll", {"Sleep"}}};
  layout.exports = kHostFunctions;
  return layout;
}

PeContents Loader() {
  PeContents layout;
  layout.imports = {{"KERNEL32.dll", {"LoadLibraryW"}}};
  layout.exports = {"DirectInput8Create"};
  return layout;
}

// A plug-in loader's image: it names the files it loads, "*.asi", in UTF-16 as its search
// pattern lies in a real loader's data.
std::vector<std::uint8_t> LoaderBytes(const PeContents& contents = Loader()) {
  std::vector<std::uint8_t> bytes = BuildPe(contents).bytes;
  for (const char c : std::string("*.asi")) {
    bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(0);
  }
  return bytes;
}

PeContents Program() {
  PeContents layout;
  layout.dll = false;
  layout.imports = {{"KERNEL32.dll", {"ExitProcess"}}};
  return layout;
}

// A game folder "Game" in a folder of its own (so that what lies one level up is the test's),
// removed at the end. The Wine prefix doctor reads the system's libraries from is the test's
// too, "prefix" beside the game folder, with no system folder until a test gives it a library.
class GameFolder {
 public:
  GameFolder() {
    std::string pattern = (fs::temp_directory_path() / "holdout-doctor-XXXXXX").string();
    root_ = mkdtemp(pattern.data()) != nullptr ? pattern : "";
    path_ = root_ / "Game";
    fs::create_directory(path_);
    setenv("WINEPREFIX", (root_ / "prefix").c_str(), 1);
  }
  ~GameFolder() {
    std::error_code error;
    fs::remove_all(root_, error);
  }
  // Writes a file; its name may lead into a subfolder ("Mods/Holdout.asi") or up ("../X").
  void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    fs::create_directories((path_ / name).parent_path());
    std::ofstream(path_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
  void WriteText(const std::string& name, const std::string& text) const {
    Write(name, std::vector<std::uint8_t>(text.begin(), text.end()));
  }
  // A complete install: the game's program, the host with its plug-in loader, and Holdout.asi
  // taking three functions from the host.
  void Install(const PeContents& plugin = Plugin(), const PeContents& host = Host()) const {
    Write("Game.exe", BuildPe(Program()).bytes);
    Write("Holdout.asi", BuildPe(plugin).bytes);
    Write("ScriptHookFrontier.dll", BuildPe(host).bytes);
    Write("dinput8.dll", LoaderBytes());
  }
  // Puts a library into the prefix's system folder.
  void WriteSystemLibrary(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    Write("../prefix/drive_c/windows/system32/" + name, bytes);
  }
  const fs::path& Path() const { return path_; }
  const fs::path& Root() const { return root_; }

 private:
  fs::path root_;
  fs::path path_;
};

DoctorReport Diagnosed(const fs::path& path) {
  std::string whyNot;
  const std::optional<DoctorReport> report = Diagnose(path, whyNot);
  EXPECT_TRUE(report.has_value()) << whyNot;
  return report.value_or(DoctorReport{});
}

DoctorReport Diagnosed(const GameFolder& folder) {
  return Diagnosed(folder.Path());
}

const FileVerdict& VerdictOn(const DoctorReport& report, const std::string& file) {
  static const FileVerdict kNone;
  const auto found = std::find_if(report.verdicts.begin(), report.verdicts.end(),
                                  [&file](const FileVerdict& v) { return v.file == file; });
  EXPECT_NE(found, report.verdicts.end()) << file;
  return found == report.verdicts.end() ? kNone : *found;
}

// The problems of one file, joined, for matching words in them.
std::string ProblemsOf(const DoctorReport& report, const std::string& file) {
  std::string joined;
  for (const Problem& problem : VerdictOn(report, file).problems) {
    joined += problem.sentence + "\n";
  }
  return joined;
}

// A folder's entries with their sizes and times, in order of their names.
std::vector<std::string> Entries(const fs::path& folder) {
  std::vector<std::string> entries;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    entries.push_back(entry.path().filename().string() + " " + std::to_string(entry.file_size()) +
                      " " + std::to_string(entry.last_write_time().time_since_epoch().count()));
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

// The log's fallback, as doctor names it.
constexpr const char* kFallback = "%LOCALAPPDATA%\\Holdout\\Holdout.log";

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
  EXPECT_TRUE(Says(VerdictOn(report, "Holdout.asi").finding, "KERNEL32.dll and msvcrt.dll"));
  EXPECT_TRUE(Says(VerdictOn(report, "Holdout.ini").finding, "takes its default"));
  EXPECT_TRUE(Says(VerdictOn(report, "Holdout.log").finding, "creates it"));
}

SCENARIO_TEST(Doctor, NamesTheFunctionsAHostLacksByTheirSignatures) {
  const GameFolder folder;
  PeContents oldHost = Host();
  oldHost.exports.pop_back();
  folder.Install(Plugin(), oldHost);
  const DoctorReport report = Diagnosed(folder);
  EXPECT_FALSE(report.willLoad);
  const FileVerdict& host = VerdictOn(report, "ScriptHookFrontier.dll");
  ASSERT_EQ(host.problems.size(), 1u);
  EXPECT_EQ(host.problems[0].sentence,
            "it lacks int __cdecl worldGetAllPeds(int *, int) (exported as "
            "?worldGetAllPeds@@YAHPEAHH@Z)");
  EXPECT_EQ(host.problems[0].kind, ProblemKind::kLacksFunction);
  EXPECT_TRUE(Says(host.advice, "older than Holdout needs, or is not the host Holdout was built"));
  EXPECT_TRUE(VerdictOn(report, "Holdout.asi").Sound());
}

SCENARIO_TEST(Doctor, AMissingOrForeignHostIsNamedAsSuch) {
  const GameFolder folder;
  folder.Write("Holdout.asi", BuildPe(Plugin()).bytes);
  EXPECT_EQ(ProblemsOf(Diagnosed(folder), "ScriptHookFrontier.dll"), "it is not in this folder\n");

  folder.WriteText("ScriptHookFrontier.dll", "<html>Not found</html>\n");
  EXPECT_TRUE(Says(ProblemsOf(Diagnosed(folder), "ScriptHookFrontier.dll"), "a text file"));

  PeContents program = Host();
  program.dll = false;
  folder.Write("ScriptHookFrontier.dll", BuildPe(program).bytes);
  EXPECT_TRUE(Says(ProblemsOf(Diagnosed(folder), "ScriptHookFrontier.dll"), "a program"));
  EXPECT_FALSE(Diagnosed(folder).willLoad);
}

SCENARIO_TEST(Doctor, JudgesHoldoutAsiItself) {
  const GameFolder folder;
  folder.Install();
  std::vector<std::uint8_t> cut = BuildPe(Plugin()).bytes;
  cut.resize(cut.size() / 2);
  folder.Write("Holdout.asi", cut);
  DoctorReport report = Diagnosed(folder);
  EXPECT_TRUE(Says(ProblemsOf(report, "Holdout.asi"), "it is cut short"));
  EXPECT_TRUE(Says(VerdictOn(report, "ScriptHookFrontier.dll").finding, "not compared"))
      << "what the host must export is unknown without a sound Holdout.asi";
  EXPECT_FALSE(report.willLoad);

  PeContents dependent = Plugin();
  dependent.imports.push_back({"libstdc++-6.dll", {"_ZSt4cout"}});
  folder.Write("Holdout.asi", BuildPe(dependent).bytes);
  EXPECT_EQ(ProblemsOf(Diagnosed(folder), "Holdout.asi"),
            "it needs libstdc++-6.dll, which is not a part of Windows\n");

  PeContents unrelated = Plugin();
  unrelated.imports.pop_back();
  folder.Write("Holdout.asi", BuildPe(unrelated).bytes);
  EXPECT_TRUE(Says(ProblemsOf(Diagnosed(folder), "Holdout.asi"), "not a build of Holdout"));
}

SCENARIO_TEST(Doctor, FindsTheFilesWhateverTheirCapitals) {
  const GameFolder folder;
  folder.Write("holdout.ASI", BuildPe(Plugin()).bytes);
  folder.Write("scripthookfrontier.dll", BuildPe(Host()).bytes);
  folder.Write("DINPUT8.DLL", LoaderBytes());
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
  EXPECT_EQ(ini.problems[0].sentence, "RotateObject = 255 can never fire");
  EXPECT_TRUE(
      Says(ini.problems[1].sentence, "pressing F3 (114) triggers ActivateMod; SpawnerMenu"));
  EXPECT_TRUE(Says(ini.advice, "holdout check-ini"));

  fs::remove(folder.Path() / "Holdout.ini");
  fs::create_directory(folder.Path() / "Holdout.ini");
  EXPECT_TRUE(Says(ProblemsOf(Diagnosed(folder), "Holdout.ini"), "it is a folder"));
}

bool Noted(const DoctorReport& report, const std::string& words) {
  return std::any_of(report.notes.begin(), report.notes.end(),
                     [&words](const std::string& note) { return Says(note, words); });
}

SCENARIO_TEST(Doctor, KnowsThatLoadersTakeOnlyAsiFiles) {
  const GameFolder folder;
  folder.Install();
  fs::rename(folder.Path() / "Holdout.asi", folder.Path() / "Holdout.dll");
  DoctorReport report = Diagnosed(folder);
  EXPECT_FALSE(report.willLoad);
  EXPECT_TRUE(Says(ProblemsOf(report, "Holdout.asi"), "Holdout.dll is never loaded"));
  EXPECT_EQ(VerdictOn(report, "Holdout.asi").advice, "rename Holdout.dll to Holdout.asi");
  EXPECT_TRUE(VerdictOn(report, "ScriptHookFrontier.dll").Sound())
      << "the host is still compared with what the renamed plug-in needs";

  folder.Write("Holdout.asi", BuildPe(Plugin()).bytes);
  PeContents other = Plugin();
  other.exports = {"DllMain", "Other"};
  folder.Write("Other.asi", BuildPe(other).bytes);
  folder.WriteText("Notes.asi", "not a library");
  report = Diagnosed(folder);
  EXPECT_TRUE(report.willLoad);
  EXPECT_TRUE(Noted(report, "Holdout.dll is here too")) << "the stray .dll can go";
  EXPECT_TRUE(Noted(report,
                    "besides Holdout, the loader loads these script plug-ins, which is "
                    "fine: Other.asi"))
      << "the host's other plug-ins, listed";
}

SCENARIO_TEST(Doctor, WantsAPluginLoaderAndSaysHowWineUsesIt) {
  const GameFolder folder;
  folder.Install();
  EXPECT_TRUE(Noted(Diagnosed(folder), "WINEDLLOVERRIDES=\"dinput8=n,b\""));

  fs::remove(folder.Path() / "dinput8.dll");
  folder.Write("version.dll", LoaderBytes());
  DoctorReport report = Diagnosed(folder);
  EXPECT_TRUE(report.willLoad);
  EXPECT_TRUE(Noted(report, "WINEDLLOVERRIDES=\"version=n,b\""));

  fs::remove(folder.Path() / "version.dll");
  report = Diagnosed(folder);
  EXPECT_FALSE(report.willLoad);
  EXPECT_TRUE(Says(ProblemsOf(report, "plug-in loader"), "nothing loads Holdout.asi"));
  EXPECT_TRUE(Says(VerdictOn(report, "plug-in loader").advice, "script host's package"));
  EXPECT_FALSE(Noted(report, "WINEDLLOVERRIDES"));

  folder.WriteText("winmm.dll", "MZ");
  EXPECT_TRUE(Says(ProblemsOf(Diagnosed(folder), "plug-in loader winmm.dll"), "cut short"));
}

SCENARIO_TEST(Doctor, TellsAPluginLoaderFromOtherDllsUnderItsName) {
  EXPECT_TRUE(NamesPluginFiles(std::string("load *.ASI", 10)));
  EXPECT_TRUE(NamesPluginFiles(std::string("\0.\0a\0s\0i\0", 9)));
  EXPECT_FALSE(NamesPluginFiles("x.as"));
  EXPECT_FALSE(NamesPluginFiles("asi .asx"));
  EXPECT_FALSE(NamesPluginFiles(std::string(".\0a\0s\0x\0", 8)));

  const GameFolder folder;
  folder.Install();
  PeContents systemCopy = Loader();
  systemCopy.builtName = "DINPUT8.dll";
  folder.Write("dinput8.dll", BuildPe(systemCopy).bytes);
  DoctorReport report = Diagnosed(folder);
  EXPECT_FALSE(report.willLoad);
  EXPECT_TRUE(Says(ProblemsOf(report, "plug-in loader dinput8.dll"),
                   "it is not a plug-in loader: it is a copy of the system's own dinput8.dll"));
  EXPECT_TRUE(Says(VerdictOn(report, "plug-in loader dinput8.dll").advice, "delete this"));
  EXPECT_FALSE(Noted(report, "WINEDLLOVERRIDES"));

  folder.Write("dinput8.dll", BuildPe(Host()).bytes);
  report = Diagnosed(folder);
  EXPECT_TRUE(Says(ProblemsOf(report, "plug-in loader dinput8.dll"),
                   "it is Built.dll under another name (a DLL of another program or mod), and "
                   "its text never mentions the .asi files that plug-in loaders search for"));

  // A loader under another name present as well is the one judged.
  folder.Write("winmm.dll", LoaderBytes());
  report = Diagnosed(folder);
  EXPECT_TRUE(report.willLoad);
  EXPECT_TRUE(VerdictOn(report, "plug-in loader winmm.dll").Sound());
}

SCENARIO_TEST(Doctor, WantsALoaderToExportWhatTheGameImportsFromItsName) {
  const GameFolder folder;
  folder.Install();
  fs::remove(folder.Path() / "dinput8.dll");
  PeContents game = Program();
  game.imports.push_back({"VERSION.dll", {"GetFileVersionInfoSizeW", "GetFileVersionInfoW"}});
  folder.Write("Game.exe", BuildPe(game).bytes);
  PeContents partial = Loader();
  partial.exports = {"GetFileVersionInfoW"};
  folder.Write("version.dll", LoaderBytes(partial));
  DoctorReport report = Diagnosed(folder);
  EXPECT_FALSE(report.willLoad);
  EXPECT_TRUE(Says(ProblemsOf(report, "plug-in loader version.dll"),
                   "it lacks functions Game.exe imports from version.dll "
                   "(GetFileVersionInfoSizeW), so Windows refuses to start the game"));
  EXPECT_TRUE(
      Says(VerdictOn(report, "plug-in loader version.dll").advice, "under the name dinput8.dll"));

  PeContents complete = Loader();
  complete.exports = {"GetFileVersionInfoSizeW", "GetFileVersionInfoW"};
  folder.Write("version.dll", LoaderBytes(complete));
  report = Diagnosed(folder);
  EXPECT_TRUE(report.willLoad);
  EXPECT_TRUE(Says(VerdictOn(report, "plug-in loader version.dll").finding,
                   "it exports all 2 functions Game.exe imports from version.dll"));

  // A game that does not import the library loads it, if at all, while it runs.
  folder.Write("Game.exe", BuildPe(Program()).bytes);
  report = Diagnosed(folder);
  EXPECT_TRUE(Says(VerdictOn(report, "plug-in loader version.dll").finding,
                   "the game's program does not import version.dll: Holdout loads if the game "
                   "loads version.dll while it runs, which its files cannot show"));
  EXPECT_EQ(report.loadsIf, "the game loads version.dll");

  // dinput8.dll is held to the same rule: imported, its functions must be there.
  fs::remove(folder.Path() / "version.dll");
  game.imports.back() = {"DINPUT8.dll", {"DirectInput8Create"}};
  folder.Write("Game.exe", BuildPe(game).bytes);
  folder.Write("dinput8.dll", LoaderBytes());
  report = Diagnosed(folder);
  EXPECT_TRUE(report.willLoad);
  EXPECT_EQ(report.loadsIf, "");
  EXPECT_TRUE(Says(VerdictOn(report, "plug-in loader dinput8.dll").finding,
                   "Game.exe imports from dinput8.dll, so the game loads it as it starts"));
  game.imports.back().functions.push_back("DirectInput8Release");
  folder.Write("Game.exe", BuildPe(game).bytes);
  EXPECT_TRUE(Says(ProblemsOf(Diagnosed(folder), "plug-in loader dinput8.dll"),
                   "it lacks functions Game.exe imports from dinput8.dll (DirectInput8Release)"));
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
  const FileVerdict notAFile = VerdictOn(Diagnosed(folder), "Holdout.log");
  EXPECT_TRUE(Says(notAFile.finding, "is not a file")) << notAFile.finding;
  EXPECT_TRUE(Says(notAFile.finding, kFallback)) << notAFile.finding;
  fs::remove(log);
  if (geteuid() != 0) {  // the superuser may write anywhere
    fs::permissions(folder.Path(), fs::perms::owner_write, fs::perm_options::remove);
    const FileVerdict closed = VerdictOn(Diagnosed(folder), "Holdout.log");
    EXPECT_TRUE(Says(closed.finding, "no file can be created in this folder")) << closed.finding;
    EXPECT_TRUE(Says(closed.finding, kFallback)) << closed.finding;
    fs::permissions(folder.Path(), fs::perms::owner_write, fs::perm_options::add);
  }
  EXPECT_FALSE(fs::exists(log)) << "doctor created the log";
}

// Where the log goes is found by trying, not read from the folder's permissions: a folder whose
// permissions let anyone write, but which refuses new files to this program (as Windows's
// protection of the Documents and Desktop folders refuses unknown programs), gets the fallback's
// path. doctor's trial file goes again, under a name nothing in the folder has: a file of that
// name already there is left as it was.
SCENARIO_TEST(Doctor, TriesTheFolderAndNamesTheFallbackWhereItRefuses) {
  const GameFolder folder;
  folder.Install();
  folder.WriteText("holdout-doctor-trial-1.tmp", "the player's");
  const auto listing = [&folder] { return Entries(folder.Path()); };
  const std::vector<std::string> before = listing();
  EXPECT_EQ(VerdictOn(Diagnosed(folder), "Holdout.log").finding,
            "not there yet; Holdout creates it with its first line");
  EXPECT_EQ(listing(), before);
  std::ifstream kept(folder.Path() / "holdout-doctor-trial-1.tmp");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "the player's");

  fileSystemCalls.createNew = [](const fs::path& file, std::string& why) {
    if (fs::exists(file)) {
      return Creation::kTaken;
    }
    why = "this program may not write here";
    return Creation::kRefused;
  };
  const DoctorReport report = Diagnosed(folder);
  const FileVerdict& log = VerdictOn(report, "Holdout.log");
  EXPECT_TRUE(log.Sound()) << "the fallback takes the lines";
  EXPECT_EQ(log.finding, "no file can be created in this folder (this program may not write "
                         "here), so Holdout writes its log to " +
                             std::string(kFallback) + " (in Wine's prefix, " +
                             "drive_c/users/<you>/AppData/Local/Holdout/Holdout.log)");
  EXPECT_FALSE(Says(log.finding, "access")) << "no access list is asked";
  EXPECT_EQ(listing(), before);
}

// Files a cloud-synced folder keeps online only are named with what that does offline, and the
// fix: keep them on this device. Other files are not.
SCENARIO_TEST(Doctor, NamesOnlineOnlyFilesWithTheFix) {
  const GameFolder folder;
  folder.Install();
  folder.WriteText("Holdout.ini", "[Main]\nDebug=1\n");
  fileSystemCalls.isOnlineOnly = [](const fs::path& file) {
    return file.filename() == "Holdout.ini" || file.filename() == "dinput8.dll";
  };
  const DoctorReport report = Diagnosed(folder);
  const FileVerdict& ini = VerdictOn(report, "Holdout.ini");
  EXPECT_TRUE(Says(ProblemsOf(report, "Holdout.ini"),
                   "kept online only (a cloud-synced folder holds its contents on the internet, "
                   "not on this device), so while offline Holdout reads it as missing and every "
                   "setting takes its default"));
  EXPECT_EQ(ini.advice, "keep it on this device: right-click Holdout.ini in File Explorer and "
                        "choose \"Always keep on this device\"");
  EXPECT_TRUE(Says(ProblemsOf(report, "plug-in loader dinput8.dll"),
                   "so while offline the game cannot load it"));
  EXPECT_TRUE(VerdictOn(report, "Holdout.asi").Sound());
  EXPECT_TRUE(VerdictOn(report, "ScriptHookFrontier.dll").Sound());
}

SCENARIO_TEST(Doctor, ExitCodesAndAFolderLeftAsItWas) {
  const GameFolder folder;
  folder.Install();
  folder.WriteText("Holdout.ini", "[Main]\nDebug=1\n");
  const auto listing = [&folder] { return Entries(folder.Path()); };
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

SCENARIO_TEST(Doctor, NamesTheFolderItChecksAndWhetherTheGamesProgramIsThere) {
  const GameFolder folder;
  folder.Install();
  fs::current_path(folder.Path() / "..");
  DoctorReport report = Diagnosed(fs::path("Game/."));
  EXPECT_EQ(report.folder, folder.Path()) << "the absolute folder, not the path as given";
  EXPECT_TRUE(Says(VerdictOn(report, "game program").finding, "Game.exe is a 64-bit program"));

  fs::remove(folder.Path() / "Game.exe");
  std::vector<std::uint8_t> old = BuildPe(Program()).bytes;
  holdout_test::Put16(old, BuildPe(Program()).machineOffset, 0x014C);
  folder.Write("Launcher.exe", old);
  report = Diagnosed(folder);
  const std::string problems = ProblemsOf(report, "game program");
  EXPECT_TRUE(Says(problems, "no 64-bit program (.exe) in this folder")) << problems;
  EXPECT_TRUE(Says(problems, "Launcher.exe is a 32-bit program")) << problems;
  EXPECT_TRUE(Says(VerdictOn(report, "game program").advice, "holdout doctor \""));
}

// The package unzipped into a folder of its own inside the game's folder, and doctor run there.
SCENARIO_TEST(Doctor, SaysWhenItRunsInTheUnpackedPackageBelowTheGame) {
  const GameFolder folder;
  folder.Install();
  fs::remove(folder.Path() / "Holdout.asi");
  const std::string package = "Holdout-0.1.0-win64/";
  folder.Write(package + "Holdout.asi", BuildPe(Plugin()).bytes);
  folder.Write(package + "holdout.exe", BuildPe(Program()).bytes);
  folder.WriteText(package + "PLAYERS-GUIDE.txt", "guide\n");
  folder.WriteText(package + "Holdout.ini", "[Main]\n");
  const DoctorReport report = Diagnosed(folder.Path() / package);  // holdout.exe is no game
  const std::string run = "holdout doctor \"" + folder.Path().string() + "\"";
  const FileVerdict& place = VerdictOn(report, "game program");
  EXPECT_TRUE(Says(ProblemsOf(report, "game program"), "Holdout's unpacked package"));
  EXPECT_TRUE(Says(ProblemsOf(report, "game program"), (folder.Path() / "Game.exe").string()));
  EXPECT_TRUE(Says(place.advice, "copy Holdout.asi into the game's folder")) << place.advice;
  EXPECT_TRUE(Says(place.advice, run)) << place.advice;
  // Nothing else is a problem here: the package's plug-in, with its version, and no word on the
  // game's files, which do not belong in the package.
  ASSERT_EQ(report.verdicts.size(), 2u);
  EXPECT_EQ(report.verdicts[1].file, "Holdout.asi");
  EXPECT_TRUE(report.verdicts[1].Sound());
  EXPECT_TRUE(report.notes.empty());
  EXPECT_FALSE(report.willLoad);
  EXPECT_FALSE(report.isGameFolder);

  // The game's own folder, seen from there: Holdout.asi is one level down, in the package.
  const DoctorReport fromGame = Diagnosed(folder);
  EXPECT_TRUE(Says(ProblemsOf(fromGame, "Holdout.asi"), "one level down there is"));
  EXPECT_TRUE(
      Says(VerdictOn(fromGame, "Holdout.asi").advice,
           "move " + (folder.Path() / package / "Holdout.asi").string() + " into this folder"));
  EXPECT_TRUE(Says(ProblemsOf(fromGame, "Holdout.ini"), "Holdout reads it only from the game's"));
}

// Files of the install found one level up or down, and what doctor says to do with them.
SCENARIO_TEST(Doctor, NamesFilesOneLevelAwayAndWhereTheyBelong) {
  struct Case {
    std::string moved;   // the file moved out of the game's folder
    std::string to;      // where to, from the game's folder
    std::string file;    // the verdict that names it
    std::string advice;  // words of its advice
  };
  const std::vector<Case> cases = {
      {"ScriptHookFrontier.dll", "bin/ScriptHookFrontier.dll", "ScriptHookFrontier.dll",
       "bin/ScriptHookFrontier.dll into this folder"},
      {"Holdout.asi", "scripts/Holdout (1).dll", "Holdout.asi",
       "into this folder and rename it Holdout.asi"},
      {"Holdout.ini", "scripts/Holdout.ini", "Holdout.ini", "scripts/Holdout.ini into this folder"},
      {"Holdout.ini", "../Holdout.ini", "Holdout.ini", "Holdout.ini into this folder"},
  };
  for (const Case& c : cases) {
    const GameFolder folder;
    folder.Install();
    folder.WriteText("Holdout.ini", "[Main]\n");
    fs::create_directories((folder.Path() / c.to).parent_path());
    fs::rename(folder.Path() / c.moved, folder.Path() / c.to);
    const DoctorReport report = Diagnosed(folder);
    const std::string problems = ProblemsOf(report, c.file);
    EXPECT_TRUE(Says(problems, "it is not in this folder, but one level")) << c.to << problems;
    EXPECT_TRUE(Says(problems, fs::path(c.to).filename().string())) << c.to << problems;
    EXPECT_TRUE(Says(VerdictOn(report, c.file).advice, c.advice))
        << c.to << ": " << VerdictOn(report, c.file).advice;
  }
}

// Copies saved under other names: a second download, a text editor's added extension, a version
// in the name, other capitals.
SCENARIO_TEST(Doctor, NamesNearNamesOfHoldoutsFilesAndTheirFix) {
  struct Case {
    std::vector<std::string> from;  // files renamed, in order...
    std::vector<std::string> to;    // ...to these names
    std::string file;               // the verdict that names it
    std::string problem;            // words of its problem
    std::string advice;             // words of its advice
    bool loads;                     // Holdout still loads
  };
  const std::vector<Case> cases = {
      {{"Holdout.ini"},
       {"Holdout.ini.txt"},
       "Holdout.ini",
       "but Holdout.ini.txt is: Holdout reads only Holdout.ini",
       "rename Holdout.ini.txt to Holdout.ini (File Explorer hides",
       true},
      {{"Holdout.ini"},
       {"HOLDOUT.INI.TXT"},
       "Holdout.ini",
       "but HOLDOUT.INI.TXT is",
       "rename HOLDOUT.INI.TXT to Holdout.ini",
       true},
      {{"Holdout.ini"},
       {"Holdout (1).ini"},
       "Holdout.ini",
       "but Holdout (1).ini is",
       "rename Holdout (1).ini to Holdout.ini",
       true},
      {{"Holdout.asi"},
       {"Holdout (1).dll"},
       "Holdout.asi",
       "so Holdout (1).dll is never loaded",
       "rename Holdout (1).dll to Holdout.asi",
       false},
      {{"Holdout.asi"},
       {"Holdout-0.1.0.dll"},
       "Holdout.asi",
       "so Holdout-0.1.0.dll is never loaded",
       "rename Holdout-0.1.0.dll to Holdout.asi",
       false},
      {{"Holdout.asi"},
       {"holdout (2).ASI"},
       "Holdout.asi",
       "it is here as holdout (2).ASI",
       "rename holdout (2).ASI to Holdout.asi",
       true},
  };
  for (const Case& c : cases) {
    const GameFolder folder;
    folder.Install();
    folder.WriteText("Holdout.ini", "[Main]\nMaxEnemies=90\n");
    for (std::size_t i = 0; i < c.from.size(); ++i) {
      fs::rename(folder.Path() / c.from[i], folder.Path() / c.to[i]);
    }
    const DoctorReport report = Diagnosed(folder);
    EXPECT_TRUE(Says(ProblemsOf(report, c.file), c.problem))
        << c.to[0] << ProblemsOf(report, c.file);
    EXPECT_TRUE(Says(VerdictOn(report, c.file).advice, c.advice))
        << c.to[0] << ": " << VerdictOn(report, c.file).advice;
    EXPECT_EQ(report.willLoad, c.loads) << c.to[0];
  }
}

// A near name beside the real file: a second .asi is loaded too; a second settings file is not
// read.
SCENARIO_TEST(Doctor, NamesASecondCopyBesideTheRealFile) {
  const GameFolder folder;
  folder.Install();
  folder.WriteText("Holdout.ini", "[Main]\n");
  folder.WriteText("Holdout.ini.txt", "[Main]\nMaxEnemies=90\n");
  folder.Write("Holdout (1).asi", BuildPe(Plugin()).bytes);
  const DoctorReport report = Diagnosed(folder);
  EXPECT_TRUE(report.willLoad);
  EXPECT_TRUE(Says(ProblemsOf(report, "Holdout.asi"), "two copies of Holdout run at once"));
  EXPECT_EQ(VerdictOn(report, "Holdout.asi").advice, "delete Holdout (1).asi");
  EXPECT_FALSE(Noted(report, "which is fine"));
  EXPECT_TRUE(Says(ProblemsOf(report, "Holdout.ini"),
                   "Holdout.ini.txt is here too: Holdout reads only Holdout.ini, so what is "
                   "written in Holdout.ini.txt has no effect"));
  EXPECT_TRUE(Says(VerdictOn(report, "Holdout.ini").advice, "delete Holdout.ini.txt"));
}

// ---------------------------------------------------------------------------------------------
// The installed plug-in's build beside doctor's own, the package's list of SHA-256, and files
// gone as after an antivirus's quarantine.

// The numbers of this build's version, "0.2.0" as {0, 2, 0}.
std::vector<std::uint16_t> OwnVersionNumbers() {
  std::vector<std::uint16_t> numbers{0};
  for (const char c : OwnBuild().version) {
    if (c == '.') {
      numbers.push_back(0);
    } else {
      numbers.back() = static_cast<std::uint16_t>(numbers.back() * 10 + (c - '0'));
    }
  }
  numbers.resize(3);
  return numbers;
}

// The test plug-in carrying a version resource of this version and commit; no commit string at
// all when `commit` is empty.
PeContents PluginBuilt(std::uint16_t major, std::uint16_t minor, std::uint16_t patch,
                       const std::string& commit) {
  PeContents plugin = Plugin();
  std::vector<std::pair<std::string, std::string>> strings = {{"FileVersion", "x"}};
  if (!commit.empty()) {
    strings.emplace_back(kSourceCommitKey, commit);
  }
  plugin.versionResource = holdout_test::VersionBlock(major, minor, patch, strings);
  return plugin;
}

PeContents OwnPlugin() {
  const std::vector<std::uint16_t> v = OwnVersionNumbers();
  return PluginBuilt(v[0], v[1], v[2], OwnBuild().commit);
}

std::size_t ProblemCount(const DoctorReport& report) {
  std::size_t count = 0;
  for (const FileVerdict& verdict : report.verdicts) {
    count += verdict.problems.size();
  }
  return count;
}

SCENARIO_TEST(DoctorBuilds, NamesItsOwnBuildAsSound) {
  const GameFolder folder;
  folder.Install(OwnPlugin());
  const DoctorReport report = Diagnosed(folder);
  EXPECT_TRUE(report.willLoad);
  EXPECT_EQ(ProblemCount(report), 0u);
  EXPECT_TRUE(Says(VerdictOn(report, "Holdout.asi").finding,
                   "version " + ShownBuild(OwnBuild()) + ", this holdout.exe's own build; a "))
      << VerdictOn(report, "Holdout.asi").finding;
}

// Today's version from another commit, from the same commit with changes, or from before builds
// named their commit: another build, a problem, never "will load and work".
SCENARIO_TEST(DoctorBuilds, TodaysVersionFromAnotherCommitIsAnotherBuild) {
  const GameFolder folder;
  const std::vector<std::uint16_t> v = OwnVersionNumbers();
  const std::string own = OwnBuild().commit;
  for (const std::string& commit :
       {std::string("0123456789ab"), own + "-modified", own.substr(0, own.size() - 1),
        std::string()}) {
    folder.Install(PluginBuilt(v[0], v[1], v[2], commit));
    const DoctorReport report = Diagnosed(folder);
    const FileVerdict& plugin = VerdictOn(report, "Holdout.asi");
    ASSERT_EQ(plugin.problems.size(), 1u) << commit;
    EXPECT_EQ(plugin.problems[0].kind, ProblemKind::kOtherVersion);
    EXPECT_TRUE(Says(plugin.problems[0].sentence,
                     "the same version as this holdout.exe, " + ShownBuild(OwnBuild()) +
                         ", but another build of it, so this holdout.exe cannot vouch for it"))
        << plugin.problems[0].sentence;
    EXPECT_TRUE(Says(plugin.advice, "take Holdout.asi and holdout.exe from one package"));
    std::string path = folder.Path().string();
    char* one[] = {path.data()};
    EXPECT_EQ(RunDoctor(1, one), 1) << commit;
  }
}

// Versions compare by their numbers, part by part: one above this build's in each part, a part
// of two digits above, and below: one below in the last part that can go down, and that with a
// later part higher.
SCENARIO_TEST(DoctorBuilds, SaysWhichBuildIsNewerByVersion) {
  const GameFolder folder;
  const std::vector<std::uint16_t> v = OwnVersionNumbers();
  struct Case {
    std::vector<std::uint16_t> version;
    bool newer;
  };
  const auto plus = [](std::uint16_t number, int more) {
    return static_cast<std::uint16_t>(number + more);
  };
  std::vector<Case> cases = {{{v[0], v[1], plus(v[2], 1)}, true},
                             {{v[0], plus(v[1], 1), 0}, true},
                             {{plus(v[0], 1), 0, 0}, true},
                             {{v[0], plus(v[1], 10), v[2]}, true}};
  for (std::size_t part = 3; part-- > 0;) {
    if (v[part] > 0) {
      std::vector<std::uint16_t> below = v;
      below[part] = plus(below[part], -1);
      cases.push_back({below, false});
      if (part < 2) {
        below[part + 1] = plus(below[part + 1], 10);
        cases.push_back({below, false});
      }
      break;
    }
  }
  for (const Case& c : cases) {
    const std::string version = std::to_string(c.version[0]) + "." +
                                std::to_string(c.version[1]) + "." + std::to_string(c.version[2]);
    folder.Install(PluginBuilt(c.version[0], c.version[1], c.version[2], "0123456789ab"));
    const FileVerdict plugin = VerdictOn(Diagnosed(folder), "Holdout.asi");
    ASSERT_EQ(plugin.problems.size(), 1u) << version;
    if (c.newer) {
      EXPECT_TRUE(Says(plugin.problems[0].sentence, "it is version " + version +
                                                        " (commit 0123456789ab), newer than "
                                                        "this holdout.exe"))
          << plugin.problems[0].sentence;
      EXPECT_EQ(plugin.advice,
                "keep this Holdout.asi, and check with the holdout.exe of its package, Holdout-" +
                    version + "-win64.zip: copy that holdout.exe over this one");
    } else {
      EXPECT_TRUE(Says(plugin.problems[0].sentence, "older than this holdout.exe"))
          << plugin.problems[0].sentence;
      EXPECT_EQ(plugin.advice, "copy Holdout.asi from Holdout-" + OwnBuild().version +
                                   "-win64.zip, the package this holdout.exe came with, over "
                                   "the old one, and check again with this holdout.exe");
    }
  }
}

// Beside other problems of the plug-in, the advice still ends with the newer plug-in and its
// package's holdout.exe, and never has an older plug-in copied over a newer one.
SCENARIO_TEST(DoctorBuilds, EndsItsAdviceWithTheNewerPlugin) {
  const GameFolder folder;
  const std::vector<std::uint16_t> v = OwnVersionNumbers();
  folder.Install(PluginBuilt(static_cast<std::uint16_t>(v[0] + 1), 0, 0, "0123456789ab"));
  folder.Write("scripts/Holdout.asi", BuildPe(OwnPlugin()).bytes);
  const FileVerdict plugin = VerdictOn(Diagnosed(folder), "Holdout.asi");
  ASSERT_EQ(plugin.problems.size(), 2u);
  const std::string last = "check with the holdout.exe of its package, Holdout-" +
                           std::to_string(v[0] + 1) + ".0.0-win64.zip: copy that holdout.exe "
                           "over this one";
  EXPECT_EQ(plugin.advice.substr(plugin.advice.size() - std::min(plugin.advice.size(), last.size())),
            last)
      << plugin.advice;
  EXPECT_FALSE(Says(plugin.advice, "copy Holdout.asi")) << plugin.advice;
}

// The package's SHA256SUMS.txt, in the folder doctor runs in or in the game folder: with CRLF or
// LF line ends, in text or binary form; a list that names Holdout.asi otherwise, or not at all,
// or that is too large to be a package's list, says nothing.
SCENARIO_TEST(DoctorBuilds, ComparesThePluginWithThePackagesList) {
  const GameFolder folder;
  const std::vector<std::uint8_t> bytes = BuildPe(OwnPlugin()).bytes;
  folder.Install(OwnPlugin());
  const std::string digest = Sha256Hex(std::string(bytes.begin(), bytes.end()));
  const std::string wrong(64, 'a');
  const auto finding = [&folder] { return VerdictOn(Diagnosed(folder), "Holdout.asi").finding; };
  for (const std::string& list :
       {digest + "  Holdout.asi\r\n", digest + " *Holdout.asi\n",
        "0000  holdout.exe\n" + digest + "  Holdout.asi"}) {
    folder.WriteText("SHA256SUMS.txt", list);
    EXPECT_TRUE(Says(finding(), "it is byte for byte the Holdout.asi that " +
                                    (folder.Path() / "SHA256SUMS.txt").string() + " lists"))
        << list;
  }
  folder.WriteText("SHA256SUMS.txt", wrong + "  Holdout.asi\r\n");
  DoctorReport report = Diagnosed(folder);
  EXPECT_TRUE(Says(ProblemsOf(report, "Holdout.asi"), "lists (their SHA-256 differ)"));
  EXPECT_EQ(VerdictOn(report, "Holdout.asi").advice,
            "copy Holdout.asi again from the package SHA256SUMS.txt came with");
  for (const std::string& list : {digest.substr(1) + "  Holdout.asi\n",
                                  digest + "0  Holdout.asi\n", digest + "  Holdout.dll\n",
                                  "z" + digest.substr(1) + "  Holdout.asi\n"}) {
    folder.WriteText("SHA256SUMS.txt", list);
    EXPECT_FALSE(Says(finding(), "SHA256SUMS.txt")) << list;
    EXPECT_TRUE(VerdictOn(Diagnosed(folder), "Holdout.asi").Sound()) << list;
  }
  // 64 KiB at most: a wrong line at the end of a list one byte below, at and one above.
  const std::string line = wrong + "  Holdout.asi\n";
  for (const std::size_t size : {std::size_t{65535}, std::size_t{65536}, std::size_t{65537}}) {
    folder.WriteText("SHA256SUMS.txt", std::string(size - line.size(), '\n') + line);
    EXPECT_EQ(VerdictOn(Diagnosed(folder), "Holdout.asi").Sound(), size > 65536) << size;
  }
  // The list where doctor runs (beside holdout.exe) comes first.
  folder.WriteText("SHA256SUMS.txt", wrong + "  Holdout.asi\n");
  std::ofstream(folder.Root() / "SHA256SUMS.txt") << digest << "  Holdout.asi\n";
  fs::current_path(folder.Root());
  EXPECT_TRUE(Says(finding(), (folder.Root() / "SHA256SUMS.txt").string() + " lists"));
  // Another build is not compared: that it is another build is all there is to say.
  folder.Install(PluginBuilt(0, 0, 1, "0123456789ab"));
  report = Diagnosed(folder);
  EXPECT_FALSE(Says(ProblemsOf(report, "Holdout.asi"), "SHA256SUMS.txt"));
}

// Holdout.asi or the loader missing from the game folder: where a quarantined file is found. A
// file found one level away, or the script host, gets no such sentence.
SCENARIO_TEST(DoctorBuilds, AddsTheAntivirusWhenThePluginOrTheLoaderIsGone) {
  const GameFolder folder;
  folder.Install();
  fs::remove(folder.Path() / "Holdout.asi");
  fs::remove(folder.Path() / "dinput8.dll");
  fs::remove(folder.Path() / "ScriptHookFrontier.dll");
  DoctorReport report = Diagnosed(folder);
  EXPECT_TRUE(Says(VerdictOn(report, "Holdout.asi").advice,
                   "; if you did copy Holdout.asi and it is gone, your antivirus may have "
                   "removed it: open Windows Security, Virus & threat protection, Protection "
                   "history, restore the file and allow it"));
  EXPECT_TRUE(Says(VerdictOn(report, "plug-in loader").advice,
                   "if you did copy the loader and it is gone"));
  EXPECT_FALSE(Says(VerdictOn(report, "ScriptHookFrontier.dll").advice, "antivirus"));
  folder.Write("data/Holdout.asi", BuildPe(Plugin()).bytes);
  report = Diagnosed(folder);
  EXPECT_TRUE(Says(ProblemsOf(report, "Holdout.asi"), "one level down"));
  EXPECT_FALSE(Says(VerdictOn(report, "Holdout.asi").advice, "antivirus"));
}

// The commit in the version block is read only from a block that holds together: a root or a
// string that ends past its parent, a text with no terminator inside its node, or one longer
// than any commit, gives none.
SCENARIO_TEST(DoctorBuilds, ReadsTheCommitOnlyFromASoundVersionBlock) {
  PeContents plugin = PluginBuilt(1, 2, 3, "abc");
  const holdout_test::BuiltPe built = BuildPe(plugin);
  const auto commitOf = [](const std::vector<std::uint8_t>& bytes) {
    const PeLayoutReading reading = ReadPeLayout(bytes);
    return reading.layout ? ReadVersionString(*reading.layout, kSourceCommitKey) : std::nullopt;
  };
  EXPECT_EQ(commitOf(built.bytes), "abc");
  EXPECT_EQ(ReadFileVersion(*ReadPeLayout(built.bytes).layout), "1.2.3");
  const std::size_t block = built.versionBlockOffset;
  const std::uint16_t rootLength =
      static_cast<std::uint16_t>(built.bytes[block] | built.bytes[block + 1] << 8);
  // The commit's node is the block's last: "abc" and its terminator end the root.
  for (const int change : {-1, 0}) {
    std::vector<std::uint8_t> bytes = built.bytes;
    holdout_test::Put16(bytes, block, static_cast<std::uint16_t>(rootLength + change));
    EXPECT_EQ(commitOf(bytes).has_value(), change == 0) << change;
  }
  std::vector<std::uint8_t> unterminated = built.bytes;
  unterminated[block + rootLength - 2] = 'd';
  EXPECT_EQ(commitOf(unterminated), std::nullopt);
  // A text of up to 256 characters.
  for (const std::size_t length : {std::size_t{255}, std::size_t{256}, std::size_t{257}}) {
    const std::string text(length, 'c');
    EXPECT_EQ(commitOf(BuildPe(PluginBuilt(1, 2, 3, text)).bytes),
              length <= 256 ? std::optional<std::string>(text) : std::nullopt)
        << length;
  }
}

// A loader under a system library's name, compared with the copy in the Wine prefix's system
// folder; the verdict's condition and the check in the game.
SCENARIO_TEST(Doctor, HoldsALoaderToTheSystemsCopyAndSaysWhatOnlyTheGameShows) {
  const GameFolder folder;
  folder.Install();
  fs::remove(folder.Path() / "dinput8.dll");
  folder.Write("winmm.dll", LoaderBytes());
  DoctorReport report = Diagnosed(folder);
  EXPECT_TRUE(report.willLoad);
  EXPECT_TRUE(Says(VerdictOn(report, "plug-in loader winmm.dll").finding,
                   "whether it exports every function of the system's own winmm.dll could not "
                   "be checked: there is no Wine prefix with a system folder at "))
      << VerdictOn(report, "plug-in loader winmm.dll").finding;
  EXPECT_EQ(report.loadsIf, "the game loads winmm.dll");
  EXPECT_EQ(report.inGameCheck, "press C, and the EXPLOSIVES menu appears");

  PeContents system = Loader();
  system.exports = {"DirectInput8Create", "PlaySoundW", "timeGetTime"};
  system.builtName = "winmm.dll";
  folder.WriteSystemLibrary("winmm.dll", BuildPe(system).bytes);
  report = Diagnosed(folder);
  EXPECT_FALSE(report.willLoad);
  EXPECT_TRUE(Says(ProblemsOf(report, "plug-in loader winmm.dll"),
                   "it lacks 2 of the 3 functions the system's own winmm.dll exports (PlaySoundW "
                   "and timeGetTime)"));

  // The system's own copy in the game folder is named as such, not as damaged.
  folder.Write("winmm.dll", BuildPe(system).bytes);
  report = Diagnosed(folder);
  EXPECT_TRUE(Says(ProblemsOf(report, "plug-in loader winmm.dll"),
                   "it is the system's own winmm.dll, the same bytes as the copy in "));

  // Bound in Holdout.ini, the spawner-menu key is the one to press.
  folder.Write("winmm.dll", LoaderBytes(system));
  folder.WriteText("Holdout.ini", "[KeyBinds]\nSpawnerMenu=0x47\n");
  report = Diagnosed(folder);
  EXPECT_TRUE(report.willLoad);
  EXPECT_EQ(report.inGameCheck, "press G, and the EXPLOSIVES menu appears");
  EXPECT_EQ(InGameCheck(std::nullopt), "press C, and the EXPLOSIVES menu appears");
}

// A 64-bit launcher at the folder's root with the game one level down.
SCENARIO_TEST(Doctor, NamesAnotherProgramOneLevelDown) {
  const GameFolder folder;
  folder.Install();
  std::string finding = VerdictOn(Diagnosed(folder), "game program").finding;
  EXPECT_FALSE(Says(finding, "one level down")) << finding;
  folder.Write("Bin/GameMain.exe", BuildPe(Program()).bytes);
  finding = VerdictOn(Diagnosed(folder), "game program").finding;
  EXPECT_TRUE(Says(finding,
                   "Game.exe is a 64-bit program, as the game's is; one level down, "
                   "Bin/GameMain.exe is a 64-bit program too: if that is the game"))
      << finding;
  EXPECT_TRUE(Says(finding, "belong beside it, in " + (folder.Path() / "Bin").string() +
                                ": run holdout doctor \"" + (folder.Path() / "Bin").string()))
      << finding;
}

// Where doctor runs from: a zip's temporary folder, the package, and a folder holding an install
// but no game program.
SCENARIO_TEST(Doctor, TellsTheZipsTemporaryFolderAndThePackageByWhatTheyHold) {
  EXPECT_TRUE(IsInsideZip("C:/Users/Ann/AppData/Local/Temp/Temp1_Holdout-0.1.0-win64.zip"));
  EXPECT_TRUE(IsInsideZip("/home/ann/Temp2_holdout.ZIP/Holdout-0.1.0-win64"));
  EXPECT_TRUE(IsInsideZip("C:/Users/Ann/AppData/Local/Temp/7zO4A21C3B1"));
  EXPECT_TRUE(IsInsideZip("/tmp/Rar$EXa1234.5678"));
  EXPECT_FALSE(IsInsideZip("D:/Games/7zOne"));
  EXPECT_FALSE(IsInsideZip("D:/Temp/Game"));
  EXPECT_FALSE(IsInsideZip("D:/Tempest/holdout.zip.d"));

  const GameFolder folder;
  const std::string package = "../Temp/Temp1_Holdout-0.1.0-win64.zip/Holdout-0.1.0-win64/";
  for (const char* name : {"Holdout.ini", "PLAYERS-GUIDE.txt"}) {
    folder.WriteText(package + name, "\n");
  }
  folder.Write(package + "Holdout.asi", BuildPe(Plugin()).bytes);
  folder.Write(package + "holdout.exe", BuildPe(Program()).bytes);
  DoctorReport report = Diagnosed(folder.Path() / package);
  ASSERT_EQ(report.verdicts.size(), 1u);
  EXPECT_TRUE(Says(ProblemsOf(report, "game program"), "inside the zip, which was never"));
  EXPECT_TRUE(Says(VerdictOn(report, "game program").advice, "Extract All first"));

  // Three of the package's four files with the host and loader: not the package, and every
  // line is shown.
  folder.Write("../Kit/Holdout.asi", BuildPe(Plugin()).bytes);
  folder.Write("../Kit/holdout.exe", BuildPe(Program()).bytes);
  folder.WriteText("../Kit/Holdout.ini", "\n");
  folder.Write("../Kit/ScriptHookFrontier.dll", BuildPe(Host()).bytes);
  folder.Write("../Kit/dinput8.dll", LoaderBytes());
  report = Diagnosed(folder.Root() / "Kit");
  EXPECT_TRUE(Says(ProblemsOf(report, "game program"), "no 64-bit program (.exe)"));
  EXPECT_TRUE(VerdictOn(report, "ScriptHookFrontier.dll").Sound());
  EXPECT_TRUE(VerdictOn(report, "plug-in loader dinput8.dll").Sound());
  // All four: the package.
  folder.WriteText("../Kit/PLAYERS-GUIDE.txt", "\n");
  report = Diagnosed(folder.Root() / "Kit");
  EXPECT_TRUE(Says(ProblemsOf(report, "game program"), "Holdout's unpacked package"));
}

}  // namespace
