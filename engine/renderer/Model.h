#pragma once

#include "core/Color.h"
#include "core/Transform.h"
#include "core/Vector2.h"

#include <string>
#include <vector>

namespace vexa {

class Renderer;

// A shape drawn as one open strip of line segments in one colour. Points are in
// model units around the pivot (0, 0); drawing scales, then rotates, then moves.
class Model {
public:
    // Reads a model file: a colour line "{r, g, b}", a point count, then one
    // "{x, y}" line per point. A file that cannot be read or parsed is reported
    // on stderr and leaves the model empty, as does a path the file system
    // refuses to examine. Never throws and always returns true: the cache
    // never looks, and an empty model is a usable one.
    bool Load(const std::string& filename);

    void Draw(Renderer& renderer, const Vector2& position, float angle, float scale);
    void Draw(Renderer& renderer, const Transform& transform);
    // The same lines in `color` instead of the file's (a palette's colour for
    // the thing drawn).
    void Draw(Renderer& renderer, const Vector2& position, float angle, float scale,
              const Color& color);
    void Draw(Renderer& renderer, const Transform& transform, const Color& color);

    // Farthest point from the pivot, in model units; computed once and cached.
    // Asked for by every actor on every frame, so the cached answer is inline.
    float GetRadius() { return m_radius != 0.0f ? m_radius : MeasureRadius(); }

    // For tests and tools: what was read.
    const std::vector<Vector2>& GetPoints() const { return m_points; }
    const Color& GetColor() const { return m_color; }

private:
    float MeasureRadius();

    std::vector<Vector2> m_points;
    Color m_color;
    // 0 means "not computed yet", so an empty model scans again at every call.
    float m_radius = 0.0f;
};

}  // namespace vexa
