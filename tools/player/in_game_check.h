// The check a player makes in the game itself, which doctor names beside every verdict it cannot
// prove from files alone: the spawner-menu key, as Holdout.ini binds it (or its default), opens
// the first spawner menu.
#pragma once

#include <optional>
#include <string>

// "press C, and the EXPLOSIVES menu appears", with the key the settings text binds (read with
// the plug-in's own reader) or, without a text, the default key.
std::string InGameCheck(const std::optional<std::string>& settingsText);
