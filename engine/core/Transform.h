#pragma once

#include "Vector2.h"

namespace vexa {

// Where an actor or emitter stands: position in pixels, rotation in radians,
// uniform scale applied to model points.
struct Transform {
    Vector2 position;
    float rotation;
    float scale;

    Transform(const Vector2& position_, float rotation_, float scale_)
        : position{position_}, rotation{rotation_}, scale{scale_} {}
};

// The float constants the game uses for pi and pi/2.
constexpr float kPi = 3.14159274f;
constexpr float kHalfPi = 1.57079637f;

}  // namespace vexa
