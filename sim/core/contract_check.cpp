// Checking argument words against their contracts, and the texts of the faults. A text argument
// is read no further than kTextLimit bytes, so a pointer to anything but a short zero-terminated
// text cannot run the check away.
#include "core/contract_check.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

#include "game/world.h"

namespace sim {

namespace {

constexpr std::size_t kTextLimit = 4096;  // longest text a native reads, with its terminator
constexpr std::size_t kShownTextLimit = 60;

bool UpperHalfZero(std::uint64_t word) {
  return (word >> 32) == 0;
}

float FloatOf(std::uint64_t word) {
  const std::uint32_t bits = static_cast<std::uint32_t>(word);
  float value = 0.0f;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

bool IsAligned(std::uint64_t address, std::uint64_t alignment) {
  return address % alignment == 0;
}

// The text at `address`, or an empty view with `terminated` false when it has no terminator
// within kTextLimit bytes.
std::string_view TextAt(std::uint64_t address, bool& terminated) {
  const char* text = reinterpret_cast<const char*>(address);
  const std::size_t length = strnlen(text, kTextLimit);
  terminated = length < kTextLimit;
  return terminated ? std::string_view(text, length) : std::string_view();
}

bool HandleNames(const ArgumentSpec& rule, std::int32_t handle, const World& world) {
  switch (rule.presence) {
    case Presence::kExistingOrZero:
      return handle == 0 || world.Names(handle, rule.entities);
    case Presence::kExisting:
      return world.Names(handle, rule.entities);
    case Presence::kOnceExisting:
      return world.Issued(handle, rule.entities);
  }
  return false;
}

bool Keeps(const ArgumentSpec& rule, std::uint64_t word, const World& world) {
  switch (rule.kind) {
    case ArgumentKind::kInteger: {
      const double value = static_cast<std::int32_t>(word);
      return UpperHalfZero(word) && value >= rule.low && value <= rule.high;
    }
    case ArgumentKind::kFloat: {
      const float value = FloatOf(word);
      return UpperHalfZero(word) && std::isfinite(value) && value >= rule.low && value <= rule.high;
    }
    case ArgumentKind::kRandomWhole: {
      const float value = FloatOf(word);
      return UpperHalfZero(word) && std::isfinite(value) && value == std::floor(value) &&
             value >= rule.low && value <= rule.high;
    }
    case ArgumentKind::kText: {
      if (word == 0) {
        return false;
      }
      bool terminated = false;
      const std::string_view text = TextAt(word, terminated);
      return terminated && (rule.texts.empty() || std::find(rule.texts.begin(), rule.texts.end(),
                                                            text) != rule.texts.end());
    }
    case ArgumentKind::kModel:
      return UpperHalfZero(word) &&
             std::find(rule.models.begin(), rule.models.end(), static_cast<std::uint32_t>(word)) !=
                 rule.models.end();
    case ArgumentKind::kHandle:
      return UpperHalfZero(word) && HandleNames(rule, static_cast<std::int32_t>(word), world);
    case ArgumentKind::kHandleAddress:
      return word != 0 && IsAligned(word, alignof(std::int32_t)) &&
             HandleNames(rule, *reinterpret_cast<const std::int32_t*>(word), world);
    case ArgumentKind::kVectorAddress:
      return word != 0 && IsAligned(word, alignof(float));
    case ArgumentKind::kWord:
      return true;
  }
  return false;
}

// The index of the first argument of `form` the words break; the form's size when none.
std::size_t FirstBreach(const ArgumentForm& form, const std::uint64_t* args, const World& world) {
  for (std::size_t i = 0; i < form.size(); ++i) {
    if (!Keeps(form[i], args[i], world)) {
      return i;
    }
  }
  return form.size();
}

std::string Hex(std::uint64_t word) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%" PRIX64, word);
  return text;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  quoted.append(text.substr(0, kShownTextLimit));
  quoted += text.size() > kShownTextLimit ? "...\"" : "\"";
  return quoted;
}

// "the player's ped, a ped or an object"
std::string EntitiesText(unsigned entities) {
  static constexpr struct {
    EntityKind kind;
    const char* name;
  } kNames[] = {{kPlayerEntity, "the player"},
                {kPlayerPedEntity, "the player's ped"},
                {kPedEntity, "a ped"},
                {kObjectEntity, "an object"},
                {kVehicleEntity, "a vehicle"}};
  std::vector<std::string> names;
  for (const auto& [kind, name] : kNames) {
    if ((entities & kind) != 0) {
      names.emplace_back(name);
    }
  }
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
  }
  return text;
}

std::string HandleExpected(const ArgumentSpec& rule) {
  const std::string entities = EntitiesText(rule.entities);
  switch (rule.presence) {
    case Presence::kExisting:
      return "a handle of " + entities + " that exists";
    case Presence::kExistingOrZero:
      return "a handle of " + entities + " that exists, or 0";
    case Presence::kOnceExisting:
      return "a handle the world handed out for " + entities;
  }
  return "";
}

std::string Expected(const ArgumentSpec& rule) {
  switch (rule.kind) {
    case ArgumentKind::kInteger:
      if (rule.low == rule.high) {
        return Number(rule.low);
      }
      if (rule.low <= std::numeric_limits<std::int32_t>::min() &&
          rule.high >= std::numeric_limits<std::int32_t>::max()) {
        return "a 32-bit integer";
      }
      return "an integer in " + Number(rule.low) + ".." + Number(rule.high);
    case ArgumentKind::kFloat:
      if (rule.low == rule.high) {
        return "the float " + Number(rule.low);
      }
      if (std::isinf(rule.low) && std::isinf(rule.high)) {
        return "a finite float";
      }
      return "a finite float in " + Number(rule.low) + ".." + Number(rule.high);
    case ArgumentKind::kRandomWhole:
      return "a whole number in " + Number(rule.low) + ".." + Number(rule.high);
    case ArgumentKind::kText: {
      if (rule.texts.empty()) {
        return "a zero-terminated text";
      }
      std::string texts;
      for (const std::string_view text : rule.texts) {
        texts += (texts.empty() ? "" : ", ") + Quoted(text);
      }
      return rule.texts.size() == 1 ? texts : "one of " + texts;
    }
    case ArgumentKind::kModel: {
      std::string models;
      for (const std::uint32_t model : rule.models) {
        models += (models.empty() ? "" : ", ") + Hex(model);
      }
      return rule.models.size() == 1 ? "the model " + models : "one of the models " + models;
    }
    case ArgumentKind::kHandle:
      return HandleExpected(rule);
    case ArgumentKind::kHandleAddress:
      return "the address of a variable holding " + HandleExpected(rule);
    case ArgumentKind::kVectorAddress:
      return "the address of a Vector3";
    case ArgumentKind::kWord:
      return "any word";
  }
  return "";
}

std::string Got(const ArgumentSpec& rule, std::uint64_t word) {
  switch (rule.kind) {
    case ArgumentKind::kInteger:
    case ArgumentKind::kHandle:
      return UpperHalfZero(word) ? std::to_string(static_cast<std::int32_t>(word)) : Hex(word);
    case ArgumentKind::kModel:
      return Hex(word);
    case ArgumentKind::kFloat:
    case ArgumentKind::kRandomWhole:
      return UpperHalfZero(word) ? Number(FloatOf(word)) : Hex(word);
    case ArgumentKind::kText: {
      if (word == 0) {
        return "null";
      }
      bool terminated = false;
      const std::string_view text = TextAt(word, terminated);
      return terminated ? Quoted(text) : "a text without a terminator";
    }
    case ArgumentKind::kHandleAddress:
      if (word == 0 || !IsAligned(word, alignof(std::int32_t))) {
        return word == 0 ? "null" : "the misaligned address " + Hex(word);
      }
      return "the address of a variable holding " +
             std::to_string(*reinterpret_cast<const std::int32_t*>(word));
    case ArgumentKind::kVectorAddress:
      return word == 0 ? "null" : "the misaligned address " + Hex(word);
    case ArgumentKind::kWord:
      return Hex(word);
  }
  return "";
}

}  // namespace

const ArgumentForm* KeptForm(const NativeContract& contract, const std::uint64_t* args,
                             std::size_t count, const World& world) {
  for (const ArgumentForm& form : contract.forms) {
    if (form.size() == count && FirstBreach(form, args, world) == count) {
      return &form;
    }
  }
  return nullptr;
}

std::string DescribeBreach(const NativeContract& contract, const std::uint64_t* args,
                           std::size_t count, const World& world) {
  const ArgumentForm* closest = nullptr;
  std::size_t breach = 0;
  for (const ArgumentForm& form : contract.forms) {
    const std::size_t first = form.size() == count ? FirstBreach(form, args, world) : 0;
    if (form.size() == count && first < count && (closest == nullptr || first > breach)) {
      closest = &form;
      breach = first;
    }
  }
  if (closest == nullptr) {
    return "the arguments keep the contract";
  }
  const ArgumentSpec& rule = (*closest)[breach];
  return "argument " + std::to_string(breach + 1) + " (" + std::string(rule.name) + "): got " +
         Got(rule, args[breach]) + ", expected " + Expected(rule);
}

bool ResultFits(ResultKind kind, const std::uint64_t* result) {
  const auto finiteFloat = [](std::uint64_t word) {
    return UpperHalfZero(word) && std::isfinite(FloatOf(word));
  };
  switch (kind) {
    case ResultKind::kNone:
      return result[0] == 0 && result[1] == 0 && result[2] == 0;
    case ResultKind::kInteger:
      return UpperHalfZero(result[0]) && result[1] == 0 && result[2] == 0;
    case ResultKind::kFloat:
      return finiteFloat(result[0]) && result[1] == 0 && result[2] == 0;
    case ResultKind::kVector:
      return finiteFloat(result[0]) && finiteFloat(result[1]) && finiteFloat(result[2]);
    case ResultKind::kWord:
      return result[1] == 0 && result[2] == 0;
  }
  return false;
}

std::string DescribeResult(ResultKind kind) {
  switch (kind) {
    case ResultKind::kNone:
      return "no answer";
    case ResultKind::kInteger:
      return "a 32-bit integer";
    case ResultKind::kFloat:
      return "a finite float";
    case ResultKind::kVector:
      return "a Vector3 of finite floats";
    case ResultKind::kWord:
      return "a 64-bit word";
  }
  return "";
}

}  // namespace sim
