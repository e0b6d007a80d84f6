// The game's text and box natives, drawing into the host's screen recorder. Positions and sizes
// are in normalised screen units, 0..1; colour channels are 0..255. A box is always black.
#include "core/sim_host.h"
#include "game/assets.h"
#include "game/game_natives.h"

namespace sim {

namespace {

using contract::Fixed;
using contract::Float;
using contract::FloatIn;
using contract::IntIn;
using contract::Text;
using contract::TextOf;
using contract::Word;

void DefineTextStyle(NativeTable& table) {
  table.Define(
      natives::kSetTextSize, "SetTextSize", {Float("size 1"), Float("size 2")}, ResultKind::kNone,
      [](const NativeCall& call) { call.host.Screen().SetTextSize(call.Float(0), call.Float(1)); });
  table.Define(natives::kSetTextColor, "SetTextColor",
               {IntIn("r", 0, 255), IntIn("g", 0, 255), IntIn("b", 0, 255), IntIn("a", 0, 255)},
               ResultKind::kNone, [](const NativeCall& call) {
                 call.host.Screen().SetTextColor(call.Int(0), call.Int(1), call.Int(2),
                                                 call.Int(3));
               });
  table.Define(natives::kSetTextCentered, "SetTextCentered", {IntIn("centred", 0, 1)},
               ResultKind::kNone,
               [](const NativeCall& call) { call.host.Screen().SetTextCentered(call.Int(0)); });
  table.Define(natives::kSetTextEffect, "SetTextEffect",
               {Fixed("effect 1", 0), Fixed("effect 2", 0), Fixed("effect 3", 0),
                Fixed("effect 4", 0), Fixed("effect 5", 0)},
               ResultKind::kNone, [](const NativeCall& call) {
                 call.host.Screen().SetTextEffect(
                     {call.Int(0), call.Int(1), call.Int(2), call.Int(3), call.Int(4)});
               });
}

void DefineDrawing(NativeTable& table) {
  table.Define(natives::kMakeLiteralText, "MakeLiteralText",
               {Fixed("kind", 10), TextOf("kind name", {assets::kLiteralTextKind}), Text("text")},
               ResultKind::kWord, [](const NativeCall& call) {
                 call.ReturnWord(call.host.Screen().MakeLiteralText(call.Text(2)));
               });
  table.Define(natives::kDrawTextAt, "DrawTextAt",
               {Word("text handle"), FloatIn("x", 0.0f, 1.0f), FloatIn("y", 0.0f, 1.0f)},
               ResultKind::kNone, [](const NativeCall& call) {
                 if (!call.host.Screen().DrawTextAt(call.args[0], call.Float(1), call.Float(2))) {
                   call.host.Fault("DrawTextAt with a text handle not made in this frame");
                 }
               });
  table.Define(natives::kDrawBox, "DrawBox",
               {FloatIn("x", 0.0f, 1.0f), FloatIn("y", 0.0f, 1.0f), FloatIn("width", 0.0f, 1.0f),
                FloatIn("height", 0.0f, 1.0f), Fixed("r", 0), Fixed("g", 0), Fixed("b", 0),
                IntIn("a", 0, 255), Fixed("flag 1", 0), Fixed("flag 2", 0)},
               ResultKind::kNone, [](const NativeCall& call) {
                 call.host.Screen().DrawBox(call.Float(0), call.Float(1), call.Float(2),
                                            call.Float(3),
                                            {call.Int(4), call.Int(5), call.Int(6), call.Int(7)});
               });
}

}  // namespace

void InstallScreenNatives(SimHost& host) {
  DefineTextStyle(host.Natives());
  DefineDrawing(host.Natives());
}

}  // namespace sim
