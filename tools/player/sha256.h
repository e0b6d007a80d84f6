// SHA-256 (FIPS 180-4) of a file's bytes, as `sha256sum` and the package's SHA256SUMS.txt give
// it: doctor tells by it whether the installed Holdout.asi is the file its package lists.
#pragma once

#include <string_view>
#include <string>

// The digest of `bytes` in lower-case hexadecimal, 64 characters.
std::string Sha256Hex(std::string_view bytes);
