#pragma once

#include "core/Color.h"
#include "core/Vector2.h"

#include <ostream>

// Readable failure messages for the engine's value types.
namespace vexa {

inline void PrintTo(const Vector2& v, std::ostream* os) {
    *os << "(" << v.x << ", " << v.y << ")";
}

inline void PrintTo(const Color& c, std::ostream* os) {
    *os << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}

}  // namespace vexa
