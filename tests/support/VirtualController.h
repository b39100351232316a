#pragma once

#include <SDL.h>

namespace testing_support {

// Plugs in a controller as SDL's virtual joystick driver makes one, with every
// standard button and axis, so that SDL maps it as a game controller of its
// own accord. Its instance id, or -1 with SDL's reason in SDL_GetError.
// `rumble`, when given, is called with the strengths of its two motors.
SDL_JoystickID AttachVirtualController(int(SDLCALL* rumble)(void* userdata, Uint16 low,
                                                            Uint16 high) = nullptr);

}  // namespace testing_support
