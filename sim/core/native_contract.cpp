// The argument contract builders.
#include "core/native_contract.h"

#include <limits>

namespace sim::contract {

namespace {

ArgumentSpec MakeRule(std::string_view name, ArgumentKind kind, double low, double high) {
  ArgumentSpec rule;
  rule.name = name;
  rule.kind = kind;
  rule.low = low;
  rule.high = high;
  return rule;
}

}  // namespace

ArgumentSpec Int(std::string_view name) {
  return IntIn(name, std::numeric_limits<std::int32_t>::min(),
               std::numeric_limits<std::int32_t>::max());
}

ArgumentSpec IntIn(std::string_view name, std::int32_t low, std::int32_t high) {
  return MakeRule(name, ArgumentKind::kInteger, low, high);
}

ArgumentSpec Fixed(std::string_view name, std::int32_t value) {
  return IntIn(name, value, value);
}

ArgumentSpec Float(std::string_view name) {
  return MakeRule(name, ArgumentKind::kFloat, -std::numeric_limits<double>::infinity(),
              std::numeric_limits<double>::infinity());
}

ArgumentSpec FloatIn(std::string_view name, float low, float high) {
  return MakeRule(name, ArgumentKind::kFloat, low, high);
}

ArgumentSpec FixedFloat(std::string_view name, float value) {
  return FloatIn(name, value, value);
}

ArgumentSpec RandomWhole(std::string_view name, std::int32_t low, std::int32_t high,
                         std::int32_t step) {
  ArgumentSpec rule = MakeRule(name, ArgumentKind::kRandomWhole, low, high);
  rule.step = step;
  return rule;
}

ArgumentSpec Text(std::string_view name) {
  return MakeRule(name, ArgumentKind::kText, 0.0, 0.0);
}

ArgumentSpec TextOf(std::string_view name, std::vector<std::string_view> texts) {
  ArgumentSpec rule = Text(name);
  rule.texts = std::move(texts);
  return rule;
}

ArgumentSpec ModelHash(std::string_view name, std::vector<std::uint32_t> models) {
  ArgumentSpec rule = MakeRule(name, ArgumentKind::kModel, 0.0, 0.0);
  rule.models = std::move(models);
  return rule;
}

ArgumentSpec Handle(std::string_view name, unsigned entities, Presence presence) {
  ArgumentSpec rule = MakeRule(name, ArgumentKind::kHandle, 0.0, 0.0);
  rule.entities = entities;
  rule.presence = presence;
  return rule;
}

ArgumentSpec HandleAddress(std::string_view name, unsigned entities, Presence presence) {
  ArgumentSpec rule = Handle(name, entities, presence);
  rule.kind = ArgumentKind::kHandleAddress;
  return rule;
}

ArgumentSpec VectorAddress(std::string_view name) {
  return MakeRule(name, ArgumentKind::kVectorAddress, 0.0, 0.0);
}

ArgumentSpec Word(std::string_view name) {
  return MakeRule(name, ArgumentKind::kWord, 0.0, 0.0);
}

}  // namespace sim::contract
