// The one model-loading sequence. The wait is bounded: a model the game never finishes loading
// would otherwise hold the script, and with it the whole frame loop, forever. Elapsed time is the
// unsigned difference of tick counts, so the bound holds across the tick count's wrap.
#include "runtime/model_loading.h"

#include "runtime/host.h"
#include "runtime/natives.h"

bool LoadModel(std::uint32_t model) {
  if (!IsModelAvailable(model) || !IsModelValid(model)) {
    return false;
  }
  RequestModel(model);
  const std::uint32_t waitBegan = GetTickCount();
  while (!HasModelLoaded(model)) {
    if (GetTickCount() - waitBegan >= kModelLoadTimeoutMs) {
      return false;
    }
    scriptWait(0);
  }
  return true;
}
