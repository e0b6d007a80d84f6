// What the tools tell a player is wrong: the kind of problem, which code decides on, and the
// sentence the player reads, which code only prints. A decision such as "is the host too old?"
// asks the kind, never the words, so that a sentence can be reworded without changing what the
// tools conclude.
#pragma once

#include <string>

enum class ProblemKind {
  // A file of an install, as doctor judges it.
  kMissing,         // not in the folder it belongs in
  kMisplaced,       // found one level up or down, under a near name, or twice
  kNotAGameFolder,  // the folder holds no game's program
  kUnreadable,      // there, but it cannot be read
  kNotLoadable,     // the loader refuses it: not a 64-bit library, cut short or damaged
  kNotHoldout,      // a library under the plug-in's name that is no build of it
  kOtherVersion,    // another build of the plug-in than the checking program's, or not the
                    // file its package lists
  kNeedsLibrary,    // it needs a library that neither Windows nor the folder provides
  kLacksFunction,   // it does not export a function Holdout.asi takes from it
  kUnbindable,      // a function Holdout.asi takes from it leads nowhere the loader can bind
  kNoLoader,        // nothing in the folder loads Holdout.asi
  kNotWritable,     // a line cannot be written to the log
  // A setting, as check-ini explains it.
  kNotANumber,       // its text is no number and reads as 0
  kNumberMisread,    // the game reads another number than the one written
  kOutOfRange,       // clamped into its range
  kKeyNeverFires,    // a key code no key sends
  kSharedKey,        // one key bound to several actions
  kPositionRefused,  // a position that does not read, or only in part
  kIgnoredLine,      // a line the plug-in never reads
};

struct Problem {
  ProblemKind kind = ProblemKind::kMissing;
  std::string sentence{};  // for the player, about the file as "it"

  bool operator==(const Problem&) const = default;
};
