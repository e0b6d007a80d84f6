// The reading of decorated function names, judged by LLVM's undecorator on the script host's
// nine functions and on names that use the rest of the vocabulary; and names it must leave
// alone, whatever they hold.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>

#include "binary_reader/msvc_names.h"

namespace {

// The signatures llvm-undname gives for the names, one run for all of them.
std::map<std::string, std::string> UndecoratedByLlvm(const std::vector<std::string>& names) {
  std::string command = std::string(HOLDOUT_LLVM_UNDNAME) + " 2>&1";
  for (const std::string& name : names) {
    command += " '" + name + "'";
  }
  std::map<std::string, std::string> signatures;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return signatures;
  }
  std::vector<std::string> lines;
  char line[1024];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    lines.emplace_back(line, std::strcspn(line, "\n"));
  }
  pclose(pipe);
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    if (!lines[i].empty() && lines[i][0] == '?') {
      signatures[lines[i]] = lines[i + 1];
    }
  }
  return signatures;
}

TEST(MsvcNames, ReadsNamesAsLlvmsUndecoratorDoes) {
  if (std::string(HOLDOUT_LLVM_UNDNAME).empty()) {
    GTEST_SKIP() << "llvm-undname is not installed";
  }
  const std::vector<std::string> names = {
      // The script host's nine functions.
      "?scriptRegister@@YAXPEAUHINSTANCE__@@P6AXXZ@Z",
      "?scriptUnregister@@YAXPEAUHINSTANCE__@@@Z",
      "?keyboardHandlerRegister@@YAXP6AXKGEHHHH@Z@Z",
      "?keyboardHandlerUnregister@@YAXP6AXKGEHHHH@Z@Z",
      "?scriptWait@@YAXK@Z",
      "?nativeInit@@YAX_K@Z",
      "?nativePush64@@YAX_K@Z",
      "?nativeCall@@YAPEA_KXZ",
      "?worldGetAllPeds@@YAHPEAHH@Z",
      // Back-references to parameters and names, namespaces, qualifiers and the other types.
      "?f@@YAXPEAUA@@0@Z",
      "?f@@YAXP6AXPEAH@Z01@Z",
      "?g@@YAPEBDPEAUA@@PEAU1@@Z",
      "?f@a@0@YAXXZ",
      "?f@outer@inner@@YAXXZ",
      "?f@@YAXAEBUA@@PEDHPECM@Z",
      "?f@@YAXW4E@@VC@@TU@@@Z",
      "?f@@YAMNO_J_N_WCDEFGIJ@Z",
      "?f@@YAXP6APEAHXZPEAPEAX@Z",
      "?f@@YGXHZZ",
      "?f@@YAXZZ",
  };
  const std::map<std::string, std::string> expected = UndecoratedByLlvm(names);
  for (const std::string& name : names) {
    ASSERT_EQ(expected.count(name), 1u) << "llvm-undname gave no answer for " << name;
    EXPECT_EQ(DemangleMsvcFunction(name).value_or("(not read)"), expected.at(name)) << name;
  }
}

TEST(MsvcNames, LeavesEverythingElseAsItIs) {
  const std::string deep = "?f@@YAX" + std::string(200, 'P') + "@Z";
  std::string nested = "?f@@YAX";
  for (int i = 0; i < 40; ++i) {
    nested += "P6AX";
  }
  const std::vector<std::string> names = {
      "",
      "?",
      "scriptWait",
      "_Z10scriptWaitm",
      "?scriptWait@@YAXK@",
      "?scriptWait@@YAXK@Zjunk",
      "?f@@YAX9@Z",
      "?f@@YAX@Z",
      "?f@@YAXX@Z",
      "?f@@YAHPEAHH",
      "??0A@@QEAA@XZ",
      "?f@@YAXPEZH@Z",
      deep,
      nested,
      std::string(5000, '?'),
  };
  for (const std::string& name : names) {
    EXPECT_EQ(DemangleMsvcFunction(name), std::nullopt) << name;
    EXPECT_EQ(ReadableFunctionName(name), name);
  }
  EXPECT_EQ(ReadableFunctionName("?worldGetAllPeds@@YAHPEAHH@Z"),
            "int __cdecl worldGetAllPeds(int *, int)");
}

}  // namespace
