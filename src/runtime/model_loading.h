// Loading a game model before an entity of it is created. Every part of the plug-in that spawns
// something loads its model through LoadModel, so the checks, the request and the wait for the
// game to finish loading happen the same way everywhere.
#pragma once

#include <cstdint>

// How long (on the tick count) a model may take to load before the wait gives up.
constexpr std::uint32_t kModelLoadTimeoutMs = 10000;

// Makes `model` ready for use: asks IsModelAvailable, then IsModelValid (either answering 0
// gives up at once), requests the model, then tests HasModelLoaded with scriptWait(0) between
// tests. True once the model has loaded; false when it failed a test or had not loaded after
// kModelLoadTimeoutMs, which the caller treats alike. May yield frames; call on the script only.
bool LoadModel(std::uint32_t model);
