// Scenario set-up and clean-up.
#include "support/scenario.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "runtime/script.h"

namespace holdout_test {

namespace {

std::filesystem::path MakeScenarioDirectory() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "holdout-scenario-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "cannot create a scenario directory";
    return std::filesystem::temp_directory_path();
  }
  std::filesystem::current_path(pattern);
  return pattern;
}

}  // namespace

Scenario::Scenario() : directory_(MakeScenarioDirectory()) {
  host.SetExecutablePath((directory_ / "Host.exe").string());
}

Scenario::~Scenario() {
  for (const std::string& fault : host.Faults()) {
    ADD_FAILURE() << "simulated host fault: " << fault;
  }
  std::error_code error;
  std::filesystem::current_path(std::filesystem::temp_directory_path(), error);
  std::filesystem::remove_all(directory_, error);
}

void Scenario::WriteIni(std::string_view text) {
  std::ofstream(directory_ / "Holdout.ini", std::ios::binary) << text;
}

void Scenario::Load() {
  host.Load(&DllMain);
}

void Scenario::Start() {
  Load();
  host.RunFrame();
}

std::string Scenario::ReadLog() const {
  std::ifstream file(directory_ / "Holdout.log", std::ios::binary);
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

}  // namespace holdout_test
