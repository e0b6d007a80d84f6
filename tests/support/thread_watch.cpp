// Threads and the ThreadSanitizer build. The tsan preset runs only the tests that start a thread
// (ctest label "threads": the tests whose names match HOLDOUT_THREAD_TESTS, set once in
// tests/CMakeLists.txt), since a test on one thread gives it nothing to find. So that a new test
// that starts a thread cannot be left out unnoticed, the test binary sees every thread started
// in it: pthread_create is defined here, ahead of the C library's (and of a sanitizer's, which
// it then calls), and a test whose name the filter does not match fails the moment it starts
// one.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <string>
#include <string_view>

namespace {

// Whether `name` matches the glob `pattern` ('*' any run of characters, '?' any one).
bool Matches(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) {
    return name.empty();
  }
  if (pattern[0] == '*') {
    return Matches(pattern.substr(1), name) || (!name.empty() && Matches(pattern, name.substr(1)));
  }
  return !name.empty() && (pattern[0] == '?' || pattern[0] == name[0]) &&
         Matches(pattern.substr(1), name.substr(1));
}

// Whether the test's full name matches one of the filter's ':'-separated patterns.
bool LabelledForThreads(const std::string& testName) {
  std::string_view filter = HOLDOUT_THREAD_TESTS;
  for (;;) {
    const std::size_t colon = filter.find(':');
    if (Matches(filter.substr(0, colon), testName)) {
      return true;
    }
    if (colon == std::string_view::npos) {
      return false;
    }
    filter.remove_prefix(colon + 1);
  }
}

}  // namespace

// NOLINTNEXTLINE(readability-identifier-naming): the C library's own name
extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*start)(void*), void* argument) {
  using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
  static const auto kNext = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  if (test != nullptr) {
    const std::string name = std::string(test->test_suite_name()) + "." + test->name();
    if (!LabelledForThreads(name)) {
      ADD_FAILURE() << name
                    << " starts a thread, so the ThreadSanitizer build must run it: name it to "
                       "match HOLDOUT_THREAD_TESTS in tests/CMakeLists.txt (\""
                    << HOLDOUT_THREAD_TESTS << "\"), or widen that filter";
    }
  }
  return kNext(thread, attributes, start, argument);
}
