// The game's text and box natives, drawing into the host's screen recorder.
#include "core/sim_host.h"
#include "game/game_natives.h"

namespace sim {

void InstallScreenNatives(SimHost& host) {
  NativeTable& table = host.Natives();
  table.Define(natives::kSetTextSize, "SetTextSize", 2, [](const NativeCall& call) {
    call.host.Screen().SetTextSize(call.Float(0), call.Float(1));
  });
  table.Define(natives::kSetTextColor, "SetTextColor", 4, [](const NativeCall& call) {
    call.host.Screen().SetTextColor(call.Int(0), call.Int(1), call.Int(2), call.Int(3));
  });
  table.Define(natives::kSetTextCentered, "SetTextCentered", 1, [](const NativeCall& call) {
    call.host.Screen().SetTextCentered(call.Int(0));
  });
  table.Define(natives::kSetTextEffect, "SetTextEffect", 5, [](const NativeCall& call) {
    call.host.Screen().SetTextEffect(
        {call.Int(0), call.Int(1), call.Int(2), call.Int(3), call.Int(4)});
  });
  table.Define(natives::kMakeLiteralText, "MakeLiteralText", 3, [](const NativeCall& call) {
    const char* kind = call.Text(1);
    if (call.Int(0) != 10 || kind == nullptr || std::string(kind) != "LITERAL_STRING") {
      call.host.Fault("MakeLiteralText expects 10 and \"LITERAL_STRING\"");
    }
    call.ReturnWord(call.host.Screen().MakeLiteralText(call.Text(2)));
  });
  table.Define(natives::kDrawTextAt, "DrawTextAt", 3, [](const NativeCall& call) {
    if (!call.host.Screen().DrawTextAt(call.args[0], call.Float(1), call.Float(2))) {
      call.host.Fault("DrawTextAt with a text handle not made in this frame");
    }
  });
  table.Define(natives::kDrawBox, "DrawBox", 10, [](const NativeCall& call) {
    call.host.Screen().DrawBox(call.Float(0), call.Float(1), call.Float(2), call.Float(3),
                               {call.Int(4), call.Int(5), call.Int(6), call.Int(7)});
  });
}

}  // namespace sim
