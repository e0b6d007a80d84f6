// Object placement (being built: the frame loop's calls are in place).
#include "spawner/placement.h"

#include "spawner/menu.h"

PlacementState placementState;

void MenuItemStaticCover::OnSelect() {}

void UpdatePlacement() {}

void CancelPlacement() {}
