// Scenario set-up and clean-up.
#include "support/scenario.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <utility>

#include "runtime/script.h"

namespace holdout_test {

namespace {

// The scenario's own directory. A scenario runs in a process of its own; without a directory it
// fails at once rather than let the plug-in read and write wherever it happens to be.
sim::ScratchDirectory MakeScenarioDirectory() {
  std::string error;
  std::optional<sim::ScratchDirectory> directory =
      sim::ScratchDirectory::Create("holdout-scenario", error);
  if (!directory) {
    ADD_FAILURE() << "cannot make a scenario directory: " << error;
    _exit(1);
  }
  std::filesystem::current_path(directory->Path());
  return std::move(*directory);
}

}  // namespace

Scenario::Scenario() : directory_(MakeScenarioDirectory()) {
  host.SetExecutablePath((directory_.Path() / "Host.exe").string());
}

Scenario::~Scenario() {
  for (const std::string& fault : host.Faults()) {
    ADD_FAILURE() << "simulated host fault: " << fault;
  }
}

void Scenario::WriteIni(std::string_view text) {
  std::ofstream(directory_.Path() / "Holdout.ini", std::ios::binary) << text;
}

void Scenario::Load() {
  host.Load(&DllMain);
}

void Scenario::Start() {
  Load();
  host.RunFrame();
}

std::string Scenario::ReadLog() const {
  std::ifstream file(directory_.Path() / "Holdout.log", std::ios::binary);
  std::ostringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

}  // namespace holdout_test
