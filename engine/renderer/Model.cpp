#include "Model.h"

#include "core/File.h"
#include "core/TextForm.h"
#include "renderer/Renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <utility>

namespace vexa {
namespace {

// A real model is a few hundred bytes; anything past this is not a model, and
// refusing it before reading keeps a huge or endless file from costing memory.
constexpr std::uintmax_t kMaxModelBytes = std::uintmax_t{4} * 1024 * 1024;

// Hands out the text one line at a time, so the whole file is never copied again.
class LineReader {
public:
    explicit LineReader(const std::string& text) : m_text{text} {}

    bool AtEnd() const { return m_position >= m_text.size(); }

    // The next line without its '\n', as std::getline would give it.
    std::string Next() {
        if (AtEnd()) return {};
        const std::size_t end = std::min(m_text.find('\n', m_position), m_text.size());
        std::string line = m_text.substr(m_position, end - m_position);
        m_position = end + 1;
        return line;
    }

private:
    const std::string& m_text;
    std::size_t m_position = 0;
};

bool isFinite(const Color& color) {
    return std::isfinite(color.r) && std::isfinite(color.g) && std::isfinite(color.b);
}

bool isFinite(const Vector2& point) {
    return std::isfinite(point.x) && std::isfinite(point.y);
}

// "nan" and "inf" read as numbers but are no more a colour or a position than
// "abc" is.
template <typename T>
bool readField(const std::string& line, T& value) {
    return textform::Read(line, value) == textform::Field::Number && isFinite(value);
}

bool readCount(const std::string& line, int& count) {
    return textform::ReadInt(line, count) == textform::Field::Number;
}

// Empty on success, otherwise why the text is not a model. Points grow only as
// lines are actually found, so an absurd count cannot make it allocate.
std::string parse(const std::string& text, Color& color, std::vector<Vector2>& points) {
    LineReader lines(text);
    if (!readField(lines.Next(), color)) return "the colour line holds no finite number";
    int count = 0;
    if (!readCount(lines.Next(), count)) return "the point count is not a number";
    for (int i = 0; i < count; ++i) {
        if (lines.AtEnd()) {
            return "it announces " + std::to_string(count) + " points but holds only " +
                   std::to_string(i);
        }
        Vector2 point;
        if (!readField(lines.Next(), point)) {
            return "point " + std::to_string(i + 1) + " holds no finite number";
        }
        points.push_back(point);
    }
    return {};
}

}  // namespace

bool Model::Load(const std::string& filename) {
    Color color;
    std::vector<Vector2> points;
    std::string text;
    std::string problem;
    try {
        if (ReadFile(filename, text, kMaxModelBytes, problem)) problem = parse(text, color, points);
    } catch (const std::filesystem::filesystem_error& error) {
        // Models are asked for while the frame loop runs, which no exception may leave.
        problem = "the file system cannot examine it: " + error.code().message();
    }

    m_radius = 0.0f;
    if (!problem.empty()) {
        // An empty model draws nothing and never collides, so the game runs on.
        m_points.clear();
        ReportLoadFailure("model", filename, problem);
        return true;
    }
    m_color = color;
    m_points.swap(points);
    return true;
}

void Model::Draw(Renderer& renderer, const Vector2& position, float angle, float scale) {
    Draw(renderer, position, angle, scale, m_color);
}

void Model::Draw(Renderer& renderer, const Vector2& position, float angle, float scale,
                 const Color& color) {
    if (m_points.empty()) return;

    renderer.SetColor(color);
    // Wholly outside the window the lines would light no pixel; the colour is
    // still set, since the stars are drawn in whatever colour was set last.
    if (renderer.OutOfView(position.x, position.y, GetRadius() * scale)) return;

    const auto place = [&](const Vector2& point) {
        return (point * scale).Rotate(angle) + position;
    };
    Vector2 from = place(m_points.front());
    for (std::size_t i = 1; i < m_points.size(); ++i) {
        const Vector2 to = place(m_points[i]);
        renderer.DrawLine(from.x, from.y, to.x, to.y);
        from = to;
    }
}

void Model::Draw(Renderer& renderer, const Transform& transform) {
    Draw(renderer, transform.position, transform.rotation, transform.scale, m_color);
}

void Model::Draw(Renderer& renderer, const Transform& transform, const Color& color) {
    Draw(renderer, transform.position, transform.rotation, transform.scale, color);
}

float Model::MeasureRadius() {
    for (const Vector2& point : m_points) m_radius = std::max(m_radius, point.Length());
    return m_radius;
}

}  // namespace vexa
