// The settings: every tunable value of the plug-in (settings_record.h), read once from
// "Holdout.ini" in the host executable's directory when the script starts, then only read. What
// each setting defaults to, and how it is read, is described in settings/settings_schema.h, whose
// DefaultSettings() gives the record with every default.
#pragma once

#include <string>

#include "settings/settings_record.h"

// The settings record: the defaults until LoadSettings writes it as the frame loop sets up,
// then only read.
extern Settings settings;

// Full wide path of "Holdout.ini" in the host executable's directory.
std::u16string GetIniPath();

// Reads every setting from the file into `settings` with the Win32 profile functions; absent
// values take their defaults.
void LoadSettings();
