// make_damaged_copies PLUGIN HOST PROBE OUT: one game folder per damage case under OUT, each
// holding the damaged copy of the plug-in or of the host beside the other file untouched and
// the loader probe (both linked, not copied), and OUT/cases.txt listing each folder with the
// name of its damaged file. The first folder, "intact", holds both files untouched ("-" for
// its damaged file). OUT is emptied first, but only when it is missing, empty or made by an
// earlier run.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "damage_cases.h"
#include "image_fields.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    throw std::runtime_error("cannot read " + path.string());
  }
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  if (!file) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

// A link to the file when the file system allows one, a copy otherwise.
void Place(const fs::path& file, const fs::path& folder) {
  std::error_code error;
  fs::create_hard_link(file, folder / file.filename(), error);
  if (error) {
    fs::copy_file(file, folder / file.filename());
  }
}

void EmptyOutput(const fs::path& out) {
  if (fs::exists(out) && !fs::is_empty(out) && !fs::exists(out / "cases.txt")) {
    throw std::runtime_error(out.string() + " holds files that an earlier run did not make");
  }
  fs::remove_all(out);
  fs::create_directories(out);
}

// The names the plug-in takes from the host whose entries are damaged: one it calls while
// loading, one it calls only once the game runs.
std::vector<std::pair<std::string, std::string>> FunctionsToDamage(
    const agreement::ImageFields& plugin, const std::string& host) {
  std::vector<std::pair<std::string, std::string>> chosen;
  for (const agreement::ImportFields& import : plugin.imports) {
    if (import.library != host) {
      continue;
    }
    for (const std::string& name : import.functions) {
      if (name.find("scriptRegister") != std::string::npos) {
        chosen.emplace_back(name, "register");
      } else if (name.find("scriptWait") != std::string::npos) {
        chosen.emplace_back(name, "wait");
      }
    }
  }
  if (chosen.size() != 2) {
    throw std::runtime_error(
        "the plug-in does not take scriptRegister and scriptWait from the host");
  }
  return chosen;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: make_damaged_copies PLUGIN HOST PROBE OUT\n");
    return 2;
  }
  try {
    const fs::path plugin = argv[1];
    const fs::path host = argv[2];
    const fs::path probe = argv[3];
    const fs::path out = argv[4];
    const Bytes pluginBytes = ReadFile(plugin);
    const Bytes hostBytes = ReadFile(host);
    const agreement::ImageFields pluginFields = agreement::ReadImageFields(pluginBytes);
    const agreement::ImageFields hostFields = agreement::ReadImageFields(hostBytes);
    const auto chosen = FunctionsToDamage(pluginFields, host.filename().string());
    const agreement::DamagedImage images[] = {
        {"plugin", pluginBytes, pluginFields, chosen},
        {"host", hostBytes, hostFields, chosen},
    };
    EmptyOutput(out);
    std::ofstream list(out / "cases.txt");
    fs::create_directory(out / "intact");
    for (const fs::path& file : {plugin, host, probe}) {
      Place(file, out / "intact");
    }
    list << "intact -\n";
    std::size_t count = 0;
    for (const agreement::DamagedImage& image : images) {
      const fs::path& damaged = &image == &images[0] ? plugin : host;
      const fs::path& intact = &image == &images[0] ? host : plugin;
      for (const agreement::DamageCase& damage : agreement::DamageCases(image)) {
        const fs::path folder = out / damage.name;
        if (!fs::create_directory(folder)) {
          throw std::runtime_error("two cases are named " + damage.name);
        }
        Bytes bytes = image.bytes;
        damage.damage(bytes);
        if (bytes == image.bytes) {
          throw std::runtime_error("the case " + damage.name + " changes nothing");
        }
        WriteFile(folder / damaged.filename(), bytes);
        Place(intact, folder);
        Place(probe, folder);
        list << damage.name << ' ' << damaged.filename().string() << '\n';
        ++count;
      }
    }
    std::printf("%zu damaged copies in %s\n", count, out.string().c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_damaged_copies: %s\n", error.what());
    return 1;
  }
  return 0;
}
