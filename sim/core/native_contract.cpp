// The argument contract builders.
#include "core/native_contract.h"

#include <limits>

namespace sim::contract {

namespace {

ArgumentSpec Spec(std::string_view name, ArgumentKind kind, double low, double high) {
  ArgumentSpec spec;
  spec.name = name;
  spec.kind = kind;
  spec.low = low;
  spec.high = high;
  return spec;
}

}  // namespace

ArgumentSpec Int(std::string_view name) {
  return IntIn(name, std::numeric_limits<std::int32_t>::min(),
               std::numeric_limits<std::int32_t>::max());
}

ArgumentSpec IntIn(std::string_view name, std::int32_t low, std::int32_t high) {
  return Spec(name, ArgumentKind::kInteger, low, high);
}

ArgumentSpec Fixed(std::string_view name, std::int32_t value) {
  return IntIn(name, value, value);
}

ArgumentSpec Float(std::string_view name) {
  return Spec(name, ArgumentKind::kFloat, -std::numeric_limits<double>::infinity(),
              std::numeric_limits<double>::infinity());
}

ArgumentSpec FloatIn(std::string_view name, float low, float high) {
  return Spec(name, ArgumentKind::kFloat, low, high);
}

ArgumentSpec FixedFloat(std::string_view name, float value) {
  return FloatIn(name, value, value);
}

ArgumentSpec RandomWhole(std::string_view name, std::int32_t low, std::int32_t high,
                         std::int32_t step) {
  ArgumentSpec spec = Spec(name, ArgumentKind::kRandomWhole, low, high);
  spec.step = step;
  return spec;
}

ArgumentSpec Text(std::string_view name) {
  return Spec(name, ArgumentKind::kText, 0.0, 0.0);
}

ArgumentSpec TextOf(std::string_view name, std::vector<std::string_view> texts) {
  ArgumentSpec spec = Text(name);
  spec.texts = std::move(texts);
  return spec;
}

ArgumentSpec ModelHash(std::string_view name, std::vector<std::uint32_t> models) {
  ArgumentSpec spec = Spec(name, ArgumentKind::kModel, 0.0, 0.0);
  spec.models = std::move(models);
  return spec;
}

ArgumentSpec Handle(std::string_view name, unsigned entities, Presence presence) {
  ArgumentSpec spec = Spec(name, ArgumentKind::kHandle, 0.0, 0.0);
  spec.entities = entities;
  spec.presence = presence;
  return spec;
}

ArgumentSpec HandleAddress(std::string_view name, unsigned entities, Presence presence) {
  ArgumentSpec spec = Handle(name, entities, presence);
  spec.kind = ArgumentKind::kHandleAddress;
  return spec;
}

ArgumentSpec VectorAddress(std::string_view name) {
  return Spec(name, ArgumentKind::kVectorAddress, 0.0, 0.0);
}

ArgumentSpec Word(std::string_view name) {
  return Spec(name, ArgumentKind::kWord, 0.0, 0.0);
}

}  // namespace sim::contract
