// Rendering one call for the trace. Argument kinds come from the form of the native's contract
// that the call kept; the answer's width from the contract's result kind.
#include "core/call_trace.h"

#include <cinttypes>
#include <cstring>

namespace sim {
namespace {

void WriteArgument(std::FILE* out, const ArgumentSpec& rule, std::uint64_t word) {
  switch (rule.kind) {
    case ArgumentKind::kText:
      std::fprintf(out, "\"%s\"", reinterpret_cast<const char*>(word));
      return;
    case ArgumentKind::kHandleAddress: {
      std::int32_t handle = 0;
      std::memcpy(&handle, reinterpret_cast<const void*>(word), sizeof handle);
      std::fprintf(out, "&%" PRId32, handle);
      return;
    }
    case ArgumentKind::kVectorAddress: {
      // Each float lies in the low half of its 8-byte slot; the high half is padding.
      std::uint32_t floats[3] = {};
      for (std::size_t i = 0; i < 3; ++i) {
        std::memcpy(&floats[i], reinterpret_cast<const char*>(word) + 8 * i, sizeof floats[i]);
      }
      std::fprintf(out, "&{0x%" PRIx32 ",0x%" PRIx32 ",0x%" PRIx32 "}", floats[0], floats[1],
                   floats[2]);
      return;
    }
    default:
      std::fprintf(out, "0x%" PRIx64, word);
      return;
  }
}

void WriteAnswer(std::FILE* out, ResultKind kind, const std::uint64_t* result) {
  switch (kind) {
    case ResultKind::kNone:
      return;
    case ResultKind::kInteger:
    case ResultKind::kFloat:
      std::fprintf(out, " -> 0x%" PRIx32, static_cast<std::uint32_t>(result[0]));
      return;
    case ResultKind::kVector:
      std::fprintf(out, " -> {0x%" PRIx32 ",0x%" PRIx32 ",0x%" PRIx32 "}",
                   static_cast<std::uint32_t>(result[0]), static_cast<std::uint32_t>(result[1]),
                   static_cast<std::uint32_t>(result[2]));
      return;
    case ResultKind::kWord:
      std::fprintf(out, " -> 0x%" PRIx64, result[0]);
      return;
  }
}

}  // namespace

void WriteTracedCall(std::FILE* out, std::uint32_t frame, const NativeEntry& entry,
                     const ArgumentForm& form, const NativeCall& call) {
  std::fprintf(out, "%" PRIu32 " %s(", frame, entry.name.c_str());
  for (std::size_t i = 0; i < call.argCount; ++i) {
    if (i > 0) {
      std::fputs(", ", out);
    }
    WriteArgument(out, form[i], call.args[i]);
  }
  std::fputc(')', out);
  if (call.result == nullptr) {
    std::fputs(" -> null", out);
  } else {
    WriteAnswer(out, entry.contract.result, call.result);
  }
  std::fputc('\n', out);
}

}  // namespace sim
