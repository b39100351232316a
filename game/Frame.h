#pragma once

namespace vexa {
class Game;
}

// One pass of the frame loop over the engine's services and `game`: input,
// the player's window and sound keys, pause, update, draw. Returns false once
// Escape has ended the program; that frame is still completed.
bool runFrame(vexa::Game& game);
