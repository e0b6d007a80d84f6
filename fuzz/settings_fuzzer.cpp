// Fuzz target: any bytes as "Holdout.ini". The bytes go through the profile reader directly
// (every settings key, every buffer size a caller may pass) and then through LoadSettings in
// a simulated host, as the plug-in reads them at start-up. Besides what the sanitizers catch,
// it checks what the rest of the plug-in relies on: the enemy limit within 10..512, every
// position finite and either its default or a usable value, every string zero-terminated
// within its buffer with its length returned.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "core/profile_reader.h"
#include "core/sim_host.h"
#include "settings/settings.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

void Check(bool holds, const char* what) {
  if (!holds) {
    Fail(what);
  }
}

// A host whose executable sits in a private directory that holds the file under test.
struct Fixture {
  Fixture() {
    // In memory where possible: rewriting a file on disk once per input costs a write-back.
    std::error_code error;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    std::string pattern = (base / "holdout-fuzz-XXXXXX").string();
    Check(mkdtemp(pattern.data()) != nullptr, "a temporary directory can be made");
    directory = pattern;
    host.SetExecutablePath((directory / "Host.exe").string());
  }
  ~Fixture() {
    std::error_code error;
    std::filesystem::remove_all(directory, error);
  }
  std::filesystem::path directory;
  sim::SimHost host;
};

struct Key {
  const char* section;
  const char* name;
};

constexpr Key kKeys[] = {{"Main", "Debug"},
                         {"Main", "MaxEnemies"},
                         {"KeyBinds", "ActivateMod"},
                         {"KeyBinds", "SpawnerMenu"},
                         {"KeyBinds", "MenuSelectNine"},
                         {"Positions", "PlayerStartingPosition"},
                         {"Positions", "EnemySpawnPosition1"},
                         {"Positions", "EnemySpawnPosition2"}};

void CheckReader(const std::optional<std::string>& text) {
  char buffer[80];
  for (const Key& key : kKeys) {
    const std::optional<std::string> value = sim::profile::FindValue(*text, key.section, key.name);
    for (std::uint32_t size = 1; size <= sizeof buffer; size += 7) {
      std::memset(buffer, 'x', sizeof buffer);
      const std::uint32_t length =
          sim::profile::GetString(text, key.section, key.name, "", buffer, size);
      Check(length < size, "the copied length leaves room for the terminator");
      Check(buffer[length] == '\0', "the copied text is terminated at its length");
      Check(value.has_value() || length == 0, "an absent key copies the empty default");
    }
    sim::profile::GetInt(text, key.section, key.name, 70);
  }
}

bool SameVector(const Vector3& a, const Vector3& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

void CheckPosition(const Vector3& position, const Vector3& byDefault) {
  Check(std::isfinite(position.x) && std::isfinite(position.y) && std::isfinite(position.z),
        "positions are finite");
  Check(SameVector(position, byDefault) || position.x != 0.0f || position.y != 0.0f ||
            position.z != 0.0f,
        "the origin is never configured");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Fixture fixture;
  const std::optional<std::string> text = std::string(reinterpret_cast<const char*>(data), size);
  CheckReader(text);

  // The bytes as a position value, whole and cut as the settings buffer cuts it.
  const Vector3 before{7.0f, 8.0f, 9.0f};
  for (const std::size_t cut : {text->size(), std::size_t{51}}) {
    const std::string value = text->substr(0, cut);
    Vector3 position = before;
    if (!ParsePosition(value.c_str(), position)) {
      Check(SameVector(position, before), "a refused position leaves the field unchanged");
    }
    CheckPosition(position, before);
  }

  std::ofstream(fixture.directory / "Holdout.ini", std::ios::binary | std::ios::trunc)
      .write(text->data(), static_cast<std::streamsize>(text->size()));
  settings = Settings{};
  LoadSettings();
  const Settings defaults;
  Check(settings.MaxEnemies >= MinEnemies && settings.MaxEnemies <= EnemySlotCapacity,
        "the enemy limit lies within 10..512");
  CheckPosition(settings.PlayerStartingPosition, defaults.PlayerStartingPosition);
  CheckPosition(settings.EnemySpawnPositions[0], defaults.EnemySpawnPositions[0]);
  CheckPosition(settings.EnemySpawnPositions[1], defaults.EnemySpawnPositions[1]);
  return 0;
}
