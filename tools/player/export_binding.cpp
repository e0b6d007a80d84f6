// The loader follows forwarders without a limit of its own: a forwarder that leads back to
// itself recurses until the stack runs out. Here a chain longer than any real one is that
// circle.
#include "player/export_binding.h"

#include "binary_reader/msvc_names.h"
#include "sentences/text.h"

namespace {

constexpr int kMaxForwards = 16;

Problem Unbindable(std::string sentence) {
  return {.kind = ProblemKind::kUnbindable, .sentence = std::move(sentence)};
}

// How a sentence names the function: its signature, with the decorated name when that differs.
std::string Named(const PeImport& function) {
  if (function.name.empty()) {
    return "the function of ordinal " + std::to_string(function.ordinal);
  }
  const std::string readable = Printable(ReadableFunctionName(function.name));
  const std::string raw = Printable(function.name);
  return readable + (readable == raw ? "" : " (exported as " + raw + ")");
}

}  // namespace

ExportBinder::ExportBinder(const PeImage& host, const LibraryLookup& folder)
    : host_(host), folder_(folder) {}

std::optional<Problem> ExportBinder::WhyUnbound(const PeImport& function) {
  const PeLayout& host = *host_.layout;
  if (host.exports.rva == 0) {
    return Unbindable("it exports no functions at all");
  }
  const PeExportTarget target = function.name.empty()
                                    ? FindExportByOrdinal(host, function.ordinal)
                                    : FindExport(host, function.name, function.hint);
  return Follow(host, kHostFileName, target, Named(function), 0);
}

std::string ExportBinder::WhyNotLoadable(const std::string& name) {
  std::string whyNot;
  if (!IsSystemLibrary(name)) {
    Library(name, whyNot);
  }
  return whyNot;
}

const PeLayout* ExportBinder::Library(const std::string& name, std::string& whyNot) {
  const std::string fileName = LibraryFileName(name);
  if (Lower(fileName) == Lower(kHostFileName)) {
    return host_.layout.get();
  }
  const std::string key = Lower(fileName);
  if (found_.count(key) == 0) {
    found_[key] = folder_ ? folder_(fileName) : FoundLibrary{};
  }
  const FoundLibrary& found = found_[key];
  switch (found.state) {
    case FoundLibrary::State::kMissing:
      whyNot = "which is neither a part of Windows nor in this folder";
      return nullptr;
    case FoundLibrary::State::kUnreadable:
      whyNot = "which cannot be read (" + found.unreadableWhy + ")";
      return nullptr;
    case FoundLibrary::State::kRead:
      break;
  }
  if (!found.reading.problem.empty()) {
    whyNot = "which Windows cannot load (" + Printable(found.reading.problem) + ")";
    return nullptr;
  }
  return found.reading.image.layout.get();
}

std::optional<Problem> ExportBinder::Follow(const PeLayout& library, const std::string& fileName,
                                            const PeExportTarget& target, const std::string& what,
                                            int forwards) {
  const std::string forwarded = "it forwards " + what + " to " + Printable(fileName) + ", ";
  switch (target.kind) {
    case PeExportTarget::Kind::kMissing:
      if (forwards == 0) {
        return Problem{.kind = ProblemKind::kLacksFunction, .sentence = "it lacks " + what};
      }
      return Unbindable(forwarded + "which does not export it");
    case PeExportTarget::Kind::kDamaged:
      return Unbindable(&library == host_.layout.get()
                            ? target.problem
                            : forwarded + "which is damaged (" + Printable(target.problem) + ")");
    case PeExportTarget::Kind::kAddress:
      if (!library.Contains(target.rva, 1)) {
        return Unbindable(forwards == 0
                              ? "the address it exports for " + what + " lies outside the image"
                              : forwarded + "where its address lies outside the image");
      }
      return std::nullopt;
    case PeExportTarget::Kind::kForwarder:
      break;
  }
  if (forwards == kMaxForwards) {
    return Unbindable("it forwards " + what + " round in a circle");
  }
  const std::optional<PeForwarder> forwarder = ParseForwarder(target.forwarder);
  if (!forwarder) {
    return Unbindable("it forwards " + what + " to \"" + Printable(target.forwarder) +
                      "\", which names no library");
  }
  if (IsSystemLibrary(forwarder->library)) {
    return std::nullopt;
  }
  std::string whyNot;
  const PeLayout* next = Library(forwarder->library, whyNot);
  if (next == nullptr) {
    return Unbindable("it forwards " + what + " to " + Printable(forwarder->library) + ", " +
                      whyNot);
  }
  const PeExportTarget found = forwarder->ordinal
                                   ? FindExportByOrdinal(*next, *forwarder->ordinal)
                                   : FindExport(*next, forwarder->function, std::nullopt);
  return Follow(*next, forwarder->library, found, what, forwards + 1);
}
