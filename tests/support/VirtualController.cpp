#include "VirtualController.h"

namespace testing_support {

SDL_JoystickID AttachVirtualController(int(SDLCALL* rumble)(void* userdata, Uint16 low,
                                                            Uint16 high)) {
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.Rumble = rumble;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    return index < 0 ? -1 : SDL_JoystickGetDeviceInstanceID(index);
}

}  // namespace testing_support
