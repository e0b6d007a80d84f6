// check-ini: the plug-in's settings loading run on a player's file, with an explanation of
// where each value came from.
#include "check_ini.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "core/profile_reader.h"
#include "core/sim_host.h"
#include "key_names.h"
#include "settings/settings.h"

namespace {

constexpr std::size_t PositionTextLimit = 51;  // the plug-in reads positions into 52 bytes

struct KeyBinding {
  const char* key;
  std::uint32_t Settings::*field;
};

// In the order the plug-in reads them.
constexpr KeyBinding KeyBindings[] = {
    {"ActivateMod", &Settings::ActivateMod},
    {"RotateObject", &Settings::RotateObject},
    {"ConfirmObject", &Settings::ConfirmObject},
    {"ReverseRotateObject", &Settings::ReverseRotateObject},
    {"SpawnerMenu", &Settings::SpawnerMenu},
    {"MenuSelectOne", &Settings::MenuSelectOne},
    {"MenuSelectTwo", &Settings::MenuSelectTwo},
    {"MenuSelectThree", &Settings::MenuSelectThree},
    {"MenuSelectFour", &Settings::MenuSelectFour},
    {"MenuSelectFive", &Settings::MenuSelectFive},
    {"MenuSelectSix", &Settings::MenuSelectSix},
    {"MenuSelectSeven", &Settings::MenuSelectSeven},
    {"MenuSelectEight", &Settings::MenuSelectEight},
    {"MenuSelectNine", &Settings::MenuSelectNine},
};

// Keys tested for a release, in the order a frame tests them: an earlier one consumes a
// release that a later one on the same key would have seen.
constexpr const char* ReleaseOrder[] = {
    "ActivateMod",     "SpawnerMenu",     "MenuSelectOne",  "MenuSelectTwo",
    "MenuSelectThree", "MenuSelectFour",  "MenuSelectFive", "MenuSelectSix",
    "MenuSelectSeven", "MenuSelectEight", "MenuSelectNine", "position capture (F2)",
};

std::string PositionText(const Vector3& p) {
  char text[160];
  std::snprintf(text, sizeof text, "{%.5f,%.5f,%.5f}", p.x, p.y, p.z);
  return text;
}

// Where the settings are read from: a made-up game folder whose Holdout.ini the simulated host
// serves from memory, so that explaining a file writes nothing anywhere.
constexpr const char* ServedExecutable = "/holdout-check-ini/Host.exe";
constexpr const char* ServedIni = "/holdout-check-ini/Holdout.ini";

SettingExplanation ExplainPosition(const std::string& text, const char* key, const Vector3& value) {
  SettingExplanation line{"Positions", key, PositionText(value), "default", false};
  const std::optional<std::string> raw = sim::profile::FindValue(text, "Positions", key);
  if (!raw || raw->empty()) {
    return line;
  }
  char buffer[PositionTextLimit + 1] = {};
  const std::uint32_t length =
      sim::profile::GetString(text, "Positions", key, "", buffer, sizeof buffer);
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  const int scanned = std::sscanf(buffer, "{%f,%f,%f}", &x, &y, &z);
  std::string note;
  if (length == PositionTextLimit && raw->size() > PositionTextLimit) {
    note = "; only its first 51 characters are read";
  }
  line.problem = true;
  if (scanned < 1) {
    line.origin = "rejected: \"" + std::string(buffer) +
                  "\" does not read as {x,y,z}; the default stays" + note;
  } else if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
    line.origin = "rejected: a component is not a finite number; the default stays";
  } else if (x == 0.0f && y == 0.0f && z == 0.0f) {
    line.origin = "rejected: {0,0,0} cannot be configured; the default stays";
  } else if (scanned < 3) {
    line.origin = "file, partly read: " + std::to_string(scanned) +
                  " of 3 components, the others are 0" + note;
  } else {
    line.origin = "file" + note;
    line.problem = !note.empty();
  }
  return line;
}

}  // namespace

IniExplanation ExplainIni(const std::string& text) {
  IniExplanation explanation;
  {
    sim::SimHost host;
    host.SetExecutablePath(ServedExecutable);
    host.ServeFile(ServedIni, text);
    settings = Settings{};
    LoadSettings();
  }
  const auto present = [&text](const char* section, const char* key) {
    const std::optional<std::string> raw = sim::profile::FindValue(text, section, key);
    return raw.has_value() && !raw->empty();
  };

  explanation.settings.push_back({"Main", "Debug", settings.Debug ? "on" : "off",
                                  present("Main", "Debug") ? "file" : "default", false});

  SettingExplanation maxEnemies{"Main", "MaxEnemies", std::to_string(settings.MaxEnemies),
                                "default", false};
  if (present("Main", "MaxEnemies")) {
    const std::int32_t read =
        static_cast<std::int32_t>(sim::profile::GetInt(text, "Main", "MaxEnemies", 70));
    if (read != settings.MaxEnemies) {
      maxEnemies.origin =
          "clamped: the file says " + std::to_string(read) + ", allowed are 10 to 512";
      maxEnemies.problem = true;
      explanation.problems.push_back("MaxEnemies " + std::to_string(read) +
                                     " is outside 10..512 and becomes " + maxEnemies.value);
    } else {
      maxEnemies.origin = "file";
    }
  }
  explanation.settings.push_back(maxEnemies);

  std::map<std::uint32_t, std::vector<std::string>> actionsByKey;
  for (const KeyBinding& binding : KeyBindings) {
    const std::uint32_t code = settings.*binding.field;
    SettingExplanation line{"KeyBinds", binding.key,
                            std::to_string(code) + " (" + KeyName(code) + ")",
                            present("KeyBinds", binding.key) ? "file" : "default", false};
    if (code >= 255) {
      line.value = std::to_string(code);
      line.problem = true;
      line.origin += "; can never fire (key codes stop at 254)";
      explanation.problems.push_back(std::string(binding.key) + " = " + std::to_string(code) +
                                     " can never fire");
    } else {
      actionsByKey[code].push_back(binding.key);
    }
    explanation.settings.push_back(line);
  }
  if (settings.Debug) {
    actionsByKey[0x71].push_back("position capture (F2)");
  }
  for (const auto& [code, actions] : actionsByKey) {
    if (actions.size() < 2) {
      continue;
    }
    std::string sentence = "key " + std::to_string(code) + " (" + KeyName(code) + ") is bound to";
    for (std::size_t i = 0; i < actions.size(); ++i) {
      sentence += (i == 0 ? " " : (i + 1 == actions.size() ? " and " : ", ")) + actions[i];
    }
    for (const char* first : ReleaseOrder) {
      if (std::find(actions.begin(), actions.end(), first) != actions.end()) {
        sentence += std::string("; a release reaches ") + first + " first";
        break;
      }
    }
    explanation.problems.push_back(sentence);
  }

  explanation.settings.push_back(
      ExplainPosition(text, "PlayerStartingPosition", settings.PlayerStartingPosition));
  explanation.settings.push_back(
      ExplainPosition(text, "EnemySpawnPosition1", settings.EnemySpawnPositions[0]));
  explanation.settings.push_back(
      ExplainPosition(text, "EnemySpawnPosition2", settings.EnemySpawnPositions[1]));
  for (const SettingExplanation& line : explanation.settings) {
    if (line.section == "Positions" && line.problem) {
      explanation.problems.push_back(line.key + ": " + line.origin);
    }
  }
  return explanation;
}

int RunCheckIni(int argc, char** argv) {
  if (argc > 0 && std::strcmp(argv[0], "--help") == 0) {
    std::printf(
        "usage: holdout check-ini [PATH]\n"
        "\n"
        "Reads PATH (default: ./Holdout.ini) exactly as the plug-in reads its settings file and\n"
        "prints every setting with its value and where it came from: the file, the default,\n"
        "clamped, or rejected and why; then the problems: positions that do not read, key\n"
        "codes that can never fire, actions sharing one key.\n"
        "exit codes: 0 no problems, 1 problems found, 2 bad usage, 3 the file cannot be read\n");
    return 0;
  }
  if (argc > 1) {
    std::fprintf(stderr, "check-ini: expected at most one path (see 'holdout check-ini --help')\n");
    return 2;
  }
  const std::string path = argc == 1 ? argv[0] : "Holdout.ini";
  if (std::filesystem::is_directory(path)) {
    std::fprintf(stderr, "check-ini: cannot read '%s': it is a directory\n", path.c_str());
    return 3;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "check-ini: cannot read '%s': %s\n", path.c_str(), std::strerror(errno));
    return 3;
  }
  std::ostringstream contents;
  contents << file.rdbuf();
  const IniExplanation explanation = ExplainIni(contents.str());

  std::printf("%s, as the plug-in reads it:\n", path.c_str());
  std::string section;
  for (const SettingExplanation& line : explanation.settings) {
    if (line.section != section) {
      section = line.section;
      std::printf("[%s]\n", section.c_str());
    }
    std::printf("  %-22s = %-34s %s\n", line.key.c_str(), line.value.c_str(), line.origin.c_str());
  }
  if (explanation.problems.empty()) {
    std::printf("no problems found\n");
    return 0;
  }
  std::printf("problems:\n");
  for (const std::string& problem : explanation.problems) {
    std::printf("  - %s\n", problem.c_str());
  }
  return 1;
}
