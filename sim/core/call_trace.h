// The native-call trace: every call the game answered, one line each, written as the call is
// made. A line names what the call meant rather than where things lay in the plug-in's memory:
// a text argument by its content, an address by what it held once the game answered, every
// other word and the answer in hexadecimal. Two builds of the plug-in that behave the same
// therefore write byte-identical traces of the same session, which is how a refactoring shows
// that it changed nothing.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/native_table.h"

namespace sim {

// Writes "FRAME Name(arg, arg, ...) -> answer" for one answered call to `out`; a call the host
// answered with no result area (call.result null) ends in "-> null".
void WriteTracedCall(std::FILE* out, std::uint32_t frame, const NativeEntry& entry,
                     const ArgumentForm& form, const NativeCall& call);

}  // namespace sim
