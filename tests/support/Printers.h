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

namespace testing_support {

// Exact comparisons for EXPECT_PRED2, so failures print both values.
inline bool SameVector(const vexa::Vector2& a, const vexa::Vector2& b) {
    return a.x == b.x && a.y == b.y;
}

inline bool SameColor(const vexa::Color& a, const vexa::Color& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

}  // namespace testing_support
