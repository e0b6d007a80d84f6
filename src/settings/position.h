// Reading a position value of the settings file: three numbers in braces, "{x,y,z}", as the
// debug position capture also writes them to the log.
#pragma once

#include <cstdint>

#include "runtime/native.h"

// Bytes a position value is read into: its first 51 characters and the terminating zero.
constexpr std::uint32_t PositionBufferSize = 52;

// Reads a position written as "{x,y,z}"; false when the text gives no usable position (nothing
// scanned, all components 0, or a component that is not a finite number).
bool ParsePosition(const char* text, Vector3& position);
