// The values a random argument took over a session, counted in equal steps of its range, so a
// long session can tell whether the plug-in's draws reach every part of the range or only some.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

class RandomRange {
 public:
  // Whole values low..high (both included), counted in steps of `step` values.
  RandomRange(std::string label, std::int32_t low, std::int32_t high, std::int32_t step);

  // Counts one value; it must lie within low..high.
  void Add(std::int32_t value);
  // Values counted so far.
  std::uint64_t Samples() const { return samples_; }
  // True when every step of the range has seen at least one value.
  bool Covered() const;
  // The steps no value fell into, as "low..high" texts.
  std::vector<std::string> Gaps() const;
  // What the values belong to, as "CreatePed heading".
  const std::string& Label() const { return label_; }
  // Set once a gap has been reported, so it is reported only once.
  bool gapReported = false;

 private:
  std::string label_;
  std::int32_t low_;
  std::int32_t high_;
  std::int32_t step_;
  std::vector<std::uint64_t> counts_;  // values seen per step
  std::uint64_t samples_ = 0;
};

}  // namespace sim
