// The commit comes from the header the build writes (cmake/build_identity.cmake), included here
// alone, so that a new commit recompiles this file and nothing else.
#include "player/build_identity.h"

#include "source_commit.h"

BuildIdentity OwnBuild() {
  return {.version = HOLDOUT_VERSION, .commit = HOLDOUT_SOURCE_COMMIT};
}

std::string ShownBuild(const BuildIdentity& build) {
  if (build.commit.empty()) {
    return build.version;
  }
  if (build.commit == "unknown") {
    return build.version + " (unknown commit)";
  }
  return build.version + " (commit " + build.commit + ")";
}
