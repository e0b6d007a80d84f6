// The steps are those of Windows Security, which holds what Microsoft Defender quarantined;
// other antivirus programs keep a list of their own of the same kind.
#include "player/antivirus_advice.h"

#include <algorithm>

std::string AntivirusAdvice(const std::string& file) {
  return "if you did copy " + file +
         " and it is gone, your antivirus may have removed it: open Windows Security, Virus & "
         "threat protection, Protection history, restore the file and allow it (another "
         "antivirus program has a list of its own)";
}

void AddAntivirusAdvice(FileVerdict& verdict) {
  const bool missing =
      std::any_of(verdict.problems.begin(), verdict.problems.end(), [](const Problem& problem) {
        return problem.kind == ProblemKind::kMissing || problem.kind == ProblemKind::kNoLoader;
      });
  if (missing) {
    verdict.advice += "; " + AntivirusAdvice(verdict.file == kPluginFileName ? verdict.file
                                                                             : "the loader");
  }
}
