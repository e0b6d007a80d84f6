// The damage done to copies of a built image, one case at a time: every export and import
// table field and data-directory entry set past the image's end, to zero, onto another table or
// onto itself; the host's entries for two functions the plug-in takes from it (one it calls
// while loading, one it does not) broken, reordered and turned into forwarders; section headers
// made inconsistent; and the file cut at every structure boundary.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "image_fields.h"

namespace agreement {

struct DamageCase {
  std::string name;  // says what was damaged, e.g. "host-export-ordinals-past-end"
  std::function<void(std::vector<std::uint8_t>&)> damage;
};

// The image's role in the game folder; it names its cases and picks the cases that apply.
struct DamagedImage {
  std::string tag;  // "plugin" or "host"
  const std::vector<std::uint8_t>& bytes;
  const ImageFields& fields;
  // Functions the plug-in takes from the host whose entries are damaged (in the plug-in's
  // import table and the host's export table), each with a short name for the cases.
  std::vector<std::pair<std::string, std::string>> chosenFunctions;
};

std::vector<DamageCase> DamageCases(const DamagedImage& image);

}  // namespace agreement
