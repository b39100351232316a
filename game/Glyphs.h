#pragma once

#include <string>

// Every character the game can put on the screen, once each, in ascending
// order, as the Latin-1 bytes its texts are drawn from: its own texts and
// numbers are printable ASCII, and the Controls page shows the names SDL gives
// every key and controller button. A font cut down to these draws the game.
std::string DrawableCharacters();
