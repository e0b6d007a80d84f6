// The run's HUD (being built: the frame loop's call is in place).
#include "survival/hud.h"

void DrawRunHud() {}
