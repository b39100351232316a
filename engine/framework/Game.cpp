#include "Game.h"

#include "framework/Scene.h"

namespace vexa {

Game::Game() = default;

// Defined here, where Scene is complete, so the scene and its actors go with the game.
Game::~Game() = default;

}  // namespace vexa
