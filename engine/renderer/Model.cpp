#include "Model.h"

#include "core/File.h"
#include "renderer/Renderer.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace vexa {
namespace {

// The text readers throw when a field holds no number; here that is bad data,
// not a programming error, so it becomes a plain false.
template <typename T>
bool readField(std::istream& stream, T& value) {
    try {
        stream >> value;
        return true;
    } catch (const std::invalid_argument&) {
        return false;
    } catch (const std::out_of_range&) {
        return false;
    }
}

bool readCount(std::istream& stream, int& count) {
    std::string line;
    std::getline(stream, line);
    try {
        count = std::stoi(line);
        return true;
    } catch (const std::invalid_argument&) {
        return false;
    } catch (const std::out_of_range&) {
        return false;
    }
}

bool atEnd(std::istream& stream) {
    return stream.peek() == std::istream::traits_type::eof();
}

// Empty on success, otherwise why the text is not a model. Points grow only as
// lines are actually found, so an absurd count cannot make it allocate.
std::string parse(const std::string& text, Color& color, std::vector<Vector2>& points) {
    std::istringstream stream(text);
    if (!readField(stream, color)) return "the colour line holds no number";
    int count = 0;
    if (!readCount(stream, count)) return "the point count is not a number";
    for (int i = 0; i < count; ++i) {
        if (atEnd(stream)) {
            return "it announces " + std::to_string(count) + " points but holds only " +
                   std::to_string(i);
        }
        Vector2 point;
        if (!readField(stream, point)) return "point " + std::to_string(i + 1) + " holds no number";
        points.push_back(point);
    }
    return {};
}

std::string readText(const std::string& filename, std::string& text) {
    try {
        if (ReadFile(filename, text)) return {};
        return FileExists(filename) ? "the file cannot be read" : "there is no such file";
    } catch (const std::filesystem::filesystem_error& error) {
        return error.code().message();
    }
}

}  // namespace

bool Model::Load(const std::string& filename) {
    std::string text;
    Color color;
    std::vector<Vector2> points;
    std::string problem = readText(filename, text);
    if (problem.empty()) problem = parse(text, color, points);

    m_radius = 0.0f;
    if (!problem.empty()) {
        // An empty model draws nothing and never collides, so the game runs on.
        m_points.clear();
        std::cerr << "Cannot load model " << filename << ": " << problem << std::endl;
        return true;
    }
    m_color = color;
    m_points.swap(points);
    return true;
}

void Model::Draw(Renderer& renderer, const Vector2& position, float angle, float scale) {
    if (m_points.empty()) return;

    renderer.SetColor(m_color);

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
    Draw(renderer, transform.position, transform.rotation, transform.scale);
}

float Model::GetRadius() {
    if (m_radius == 0.0f) {
        for (const Vector2& point : m_points) m_radius = std::max(m_radius, point.Length());
    }
    return m_radius;
}

}  // namespace vexa
