// Installs the whole simulated game into a host.
#include "game/game_natives.h"

namespace sim {

void InstallGameNatives(SimHost& host) {
  InstallFrameNatives(host);
  InstallScreenNatives(host);
  InstallPlayerNatives(host);
  InstallObjectNatives(host);
  InstallPedNatives(host);
  InstallModelNatives(host);
  InstallSoundNatives(host);
}

}  // namespace sim
