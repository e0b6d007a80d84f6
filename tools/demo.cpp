// The demo: loads the plug-in into the simulated host, runs a short scripted session and prints,
// frame by frame, what the plug-in asked of the game and what it drew.
#include "demo.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/sim_host.h"
#include "runtime/script.h"

namespace {

const char* EventName(sim::HostEvent event) {
  switch (event) {
    case sim::HostEvent::kScriptRegistered:
      return "scriptRegister";
    case sim::HostEvent::kScriptUnregistered:
      return "scriptUnregister";
    case sim::HostEvent::kKeyboardHandlerRegistered:
      return "keyboardHandlerRegister";
    case sim::HostEvent::kKeyboardHandlerUnregistered:
      return "keyboardHandlerUnregister";
  }
  return "?";
}

void PrintEventsSince(const sim::SimHost& host, std::size_t& printed) {
  for (; printed < host.Events().size(); ++printed) {
    std::printf("  host: %s\n", EventName(host.Events()[printed].event));
  }
}

void PrintFrame(sim::SimHost& host, std::uint32_t frame) {
  std::printf("frame %" PRIu32 " (tick %" PRIu32 " ms)\n", frame, host.TickCount());
  for (const sim::RecordedCall& call : host.Calls().CallsInFrame(frame)) {
    std::string words;
    for (const std::uint64_t word : call.args) {
      char text[24];
      std::snprintf(text, sizeof text, "%s0x%" PRIx64, words.empty() ? "" : ", ", word);
      words += text;
    }
    std::printf("  native %s(%s)\n", host.Natives().NameOf(call.hash).c_str(), words.c_str());
  }
  for (const sim::DrawnText& text : host.Screen().TextsInFrame(frame)) {
    std::printf("  screen text at (%.3f, %.3f): \"%s\"\n", text.x, text.y, text.text.c_str());
  }
}

}  // namespace

int RunDemo(int argc, char** argv) {
  std::uint32_t frames = 5;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
      frames = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
    } else {
      std::fprintf(stderr, "demo: unknown option '%s' (see 'holdout demo --help')\n", argv[i]);
      return 2;
    }
  }
  sim::SimHost host;
  std::size_t eventsPrinted = 0;
  std::printf("loading Holdout into the simulated host\n");
  host.Load(&DllMain);
  PrintEventsSince(host, eventsPrinted);
  for (std::uint32_t i = 0; i < frames; ++i) {
    host.RunFrame();
    PrintFrame(host, host.Frame());
  }
  std::printf("unloading Holdout\n");
  host.Unload();
  PrintEventsSince(host, eventsPrinted);
  for (const std::string& fault : host.Faults()) {
    std::printf("fault: %s\n", fault.c_str());
  }
  return host.Faults().empty() ? 0 : 1;
}
