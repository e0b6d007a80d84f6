// Binding one function a plug-in imports from the script host as the loader binds it: looked up
// in the host's export table (pe_exports.h) and, when the host forwards it, followed to the
// library the forwarder names: one of Windows (taken as binding, its tables unknown here), the
// host itself, or another library of the game folder, found through a lookup the caller gives.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "binary_reader/pe_exports.h"
#include "player/library_files.h"
#include "sentences/problem.h"

class ExportBinder {
 public:
  // `host` must have been read cleanly; `folder` may be empty, and then a forwarder to any
  // library other than the host and Windows' own is one the loader cannot follow.
  ExportBinder(const PeImage& host, const LibraryLookup& folder);

  // Why the loader cannot bind the function, about the host as "it": the host lacks it, or it
  // leads nowhere the loader can follow; nothing when it binds.
  std::optional<Problem> WhyUnbound(const PeImport& function);

  // Why the loader cannot load the library the host names (by a clause such as "which is not
  // in this folder"); empty when Windows provides it or the folder holds it and it loads.
  std::string WhyNotLoadable(const std::string& name);

 private:
  const PeLayout* Library(const std::string& name, std::string& whyNot);
  std::optional<Problem> Follow(const PeLayout& library, const std::string& fileName,
                                const PeExportTarget& target, const std::string& what,
                                int forwards);

  const PeImage& host_;
  const LibraryLookup& folder_;
  std::map<std::string, FoundLibrary> found_;  // libraries looked up so far, by lower-case name
};
