// Which build of Holdout this program is: the project's version and the commit it was built
// from, as `holdout --version` and doctor's first line show them and as the Windows binaries'
// version resources carry them (FileVersion and SourceCommit), so that two builds of one version
// can be told apart.
#pragma once

#include <string>

// A build of Holdout.
struct BuildIdentity {
  std::string version;  // "0.2.0"
  // "0123456789ab", with "-modified" when the tree had changes not yet committed; "unknown"
  // for a build made outside a git checkout; empty for a plug-in that names no commit, as
  // builds before 0.2.0 do.
  std::string commit;
};

// The key of the commit in the version resource's string table.
inline constexpr const char* kSourceCommitKey = "SourceCommit";

// This program's own build.
BuildIdentity OwnBuild();

// "0.2.0 (commit 0123456789ab)"; "0.2.0 (unknown commit)"; "0.1.0" when no commit is named.
std::string ShownBuild(const BuildIdentity& build);
