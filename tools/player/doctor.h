// doctor: tells a player whether Holdout will load and work in a game folder, and if not,
// exactly why and what to do. It judges whether the folder is a game's at all, the script host,
// the plug-in loader and Holdout.asi from their tables, the settings file with check-ini's
// verdict, and where the log goes; it names files out of place one level up or down, files
// saved under near names and files kept online only, and it never writes or changes a file
// (the one it creates to try a folder, it deletes again).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "player/library_checks.h"

// What doctor found in a game folder.
struct DoctorReport {
  std::filesystem::path folder;  // the folder examined, as an absolute path
  // game program, host, plug-in loader, Holdout.asi, .ini, .log; in Holdout's unpacked package
  // only the game program's and, when sound, Holdout.asi's
  std::vector<FileVerdict> verdicts;
  std::vector<std::string> notes;  // facts that need no remedy
  bool willLoad = false;           // the host, the loader and Holdout.asi are all sound
  bool isGameFolder = false;       // the folder holds a game's 64-bit program
  std::string loadsIf;             // when it will load, what must also happen, e.g. "the game
                                   // loads winmm.dll"; empty when nothing must
  std::string inGameCheck;         // how to see in the game that it loaded
};

// Examines the game folder; nothing when the folder cannot be read, with the reason in whyNot.
std::optional<DoctorReport> Diagnose(const std::filesystem::path& folder, std::string& whyNot);

// The doctor command; argv holds the arguments after "doctor". Exit codes: 0 Holdout will load
// and no problem was found, 1 problems found, 2 bad usage, 3 the folder cannot be read.
int RunDoctor(int argc, char** argv);
