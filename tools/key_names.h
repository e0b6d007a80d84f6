// Names of Windows virtual-key codes as a player knows them ("F3", "Q", "Shift"), for tools that
// explain or map the plug-in's key bindings.
#pragma once

#include <cstdint>
#include <string>

// "F3", "Q", "1", "Shift", ... or "key 0x97" for codes without a common name.
std::string KeyName(std::uint32_t virtualKey);
