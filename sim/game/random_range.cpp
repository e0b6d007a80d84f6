// Counting a random argument's values per step of its range.
#include "game/random_range.h"

#include <algorithm>

namespace sim {

RandomRange::RandomRange(std::string label, std::int32_t low, std::int32_t high, std::int32_t step)
    : label_(std::move(label)),
      low_(low),
      high_(high),
      step_(step),
      counts_(static_cast<std::size_t>((high - low) / step + 1)) {}

void RandomRange::Add(std::int32_t value) {
  ++counts_[static_cast<std::size_t>((value - low_) / step_)];
  ++samples_;
}

bool RandomRange::Covered() const {
  return std::find(counts_.begin(), counts_.end(), 0u) == counts_.end();
}

std::vector<std::string> RandomRange::Gaps() const {
  std::vector<std::string> gaps;
  for (std::size_t i = 0; i < counts_.size(); ++i) {
    if (counts_[i] == 0) {
      const std::int32_t first = low_ + static_cast<std::int32_t>(i) * step_;
      const std::int32_t last = std::min(high_, first + step_ - 1);
      gaps.push_back(std::to_string(first) + ".." + std::to_string(last));
    }
  }
  return gaps;
}

}  // namespace sim
