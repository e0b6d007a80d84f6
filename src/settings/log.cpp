// Appending to the log with the C++ streams: text mode, so the line end is the platform's.
#include "settings/log.h"

#include <fstream>

void WriteLog(std::string text) {
  std::ofstream log("Holdout.log", std::ios::out | std::ios::app);
  if (!log) {
    return;
  }
  log << text << '\n';
}
