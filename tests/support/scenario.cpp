// Scenario set-up and clean-up.
#include "support/scenario.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>
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
  return std::move(*directory);
}

}  // namespace

Scenario::Scenario() : folder_(MakeScenarioDirectory()) {
  host.SetExecutablePath(folder_.ExecutablePath());
}

Scenario::~Scenario() {
  for (const std::string& fault : host.Faults()) {
    ADD_FAILURE() << "simulated host fault: " << fault;
  }
}

void Scenario::Load() {
  host.Load(&DllMain);
}

void Scenario::Start() {
  Load();
  host.RunFrame();
}

}  // namespace holdout_test
