// Draws the desktop icon from the ship's own line model: the ship, nose to the
// right as it flies in the game, on a dark rounded square with a few stars.
// Writes <out>/zap207.svg, <out>/<size>/zap207.png for each size given, and
// <out>/zap207.ico holding every size given (16 to 256) for Windows.
// --maskable fills the whole square instead, for platforms that cut their own
// shape out of an icon (the ship lies well inside the circle they keep).
//   make_icons [--maskable] <model file> <out dir> <size>...
// --installer-art draws the pictures of the Windows installer's pages from the
// ship, the asteroid and the font in an Assets folder, as 24-bit bitmaps:
// <out>/side.bmp (164 x 314, beside the first and last pages' text) and
// <out>/header.bmp (150 x 57, in the other pages' header).
//   make_icons --installer-art <Assets dir> <out dir>
// The same model and sizes always give the same bytes.
#include "renderer/Model.h"

// A tool with its own main, which SDL must leave alone.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_ttf.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Geometry on a canvas of 1 x 1; every size scales the same picture.
constexpr float kMargin = 0.0625f;
constexpr float kCorner = 0.17f;
constexpr float kShipSpan = 0.66f;
constexpr float kLineWidth = 0.034f;
constexpr float kGlowWidth = 0.11f;
constexpr float kGlowAlpha = 0.35f;

struct Rgba {
    float r, g, b, a;
};

const Rgba kBackgroundTop{0.07f, 0.09f, 0.19f, 1.0f};
const Rgba kBackgroundBottom{0.0f, 0.0f, 0.02f, 1.0f};

struct Star {
    float x, y, radius, alpha;
};

const std::array<Star, 7> kStars{{
    {0.24f, 0.22f, 0.012f, 0.9f},
    {0.72f, 0.17f, 0.009f, 0.6f},
    {0.83f, 0.74f, 0.011f, 0.8f},
    {0.17f, 0.79f, 0.008f, 0.5f},
    {0.56f, 0.85f, 0.007f, 0.6f},
    {0.44f, 0.13f, 0.007f, 0.5f},
    {0.87f, 0.41f, 0.008f, 0.7f},
}};

struct Point {
    float x, y;
};

// A model's outline as the game shows it, `span` across its larger side and
// centred on (x, y). Models face "up" and the game turns every actor a
// quarter-turn clockwise, so (x, y) becomes (-y, x).
std::vector<Point> outline(const vexa::Model& model, float x, float y, float span) {
    std::vector<Point> points;
    for (const vexa::Vector2& p : model.GetPoints()) points.push_back({-p.y, p.x});

    float minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (const Point& p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const float scale = span / std::max(maxX - minX, maxY - minY);
    const float centreX = (minX + maxX) / 2.0f;
    const float centreY = (minY + maxY) / 2.0f;
    for (Point& p : points) p = {x + (p.x - centreX) * scale, y + (p.y - centreY) * scale};
    return points;
}

// The ship's outline on the unit canvas.
std::vector<Point> shipOutline(const vexa::Model& model) {
    return outline(model, 0.5f, 0.5f, kShipSpan);
}

float distanceToSegment(Point p, Point a, Point b) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float lengthSquared = dx * dx + dy * dy;
    float t = 0.0f;
    if (lengthSquared > 0.0f)
        t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared, 0.0f, 1.0f);
    const float ex = p.x - (a.x + t * dx), ey = p.y - (a.y + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

float distanceToStrip(Point p, const std::vector<Point>& strip) {
    float best = distanceToSegment(p, strip[0], strip[0]);
    for (std::size_t i = 1; i < strip.size(); ++i)
        best = std::min(best, distanceToSegment(p, strip[i - 1], strip[i]));
    return best;
}

// Signed distance to the rounded square, negative inside.
float roundedSquareDistance(Point p) {
    const float half = 0.5f - kMargin - kCorner;
    const float qx = std::abs(p.x - 0.5f) - half, qy = std::abs(p.y - 0.5f) - half;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - kCorner;
}

// Coverage of a pixel by a shape whose edge lies `distance` pixels away (negative inside).
float coverage(float distance) {
    return std::clamp(0.5f - distance, 0.0f, 1.0f);
}

Rgba over(Rgba top, Rgba bottom) {
    const float a = top.a + bottom.a * (1.0f - top.a);
    if (a <= 0.0f) return {0.0f, 0.0f, 0.0f, 0.0f};
    const auto mix = [&](float t, float b) {
        return (t * top.a + b * bottom.a * (1.0f - top.a)) / a;
    };
    return {mix(top.r, bottom.r), mix(top.g, bottom.g), mix(top.b, bottom.b), a};
}

Rgba withAlpha(Rgba colour, float alpha) {
    return {colour.r, colour.g, colour.b, colour.a * alpha};
}

Rgba pixel(Point p, float pixelsPerUnit, const std::vector<Point>& ship, Rgba shipColour,
           bool fullBleed) {
    const float square = fullBleed ? -pixelsPerUnit : roundedSquareDistance(p) * pixelsPerUnit;
    const float along = (p.y - kMargin) / (1.0f - 2.0f * kMargin);
    const float t = std::clamp(along, 0.0f, 1.0f);
    Rgba background{kBackgroundTop.r + (kBackgroundBottom.r - kBackgroundTop.r) * t,
                    kBackgroundTop.g + (kBackgroundBottom.g - kBackgroundTop.g) * t,
                    kBackgroundTop.b + (kBackgroundBottom.b - kBackgroundTop.b) * t, 1.0f};
    Rgba result = withAlpha(background, coverage(square));
    if (result.a <= 0.0f) return result;

    for (const Star& star : kStars) {
        const float d = (std::hypot(p.x - star.x, p.y - star.y) - star.radius) * pixelsPerUnit;
        result = over({1.0f, 1.0f, 1.0f, star.alpha * coverage(d)}, result);
    }
    const float d = distanceToStrip(p, ship);
    const float glow = std::clamp(1.0f - d / (kGlowWidth / 2.0f), 0.0f, 1.0f);
    result = over(withAlpha(shipColour, kGlowAlpha * glow * glow), result);
    // Never thinner than two pixels, so the outline stays solid at the small sizes.
    const float lineWidth = std::max(kLineWidth, 2.0f / pixelsPerUnit);
    result = over(withAlpha(shipColour, coverage((d - lineWidth / 2.0f) * pixelsPerUnit)), result);
    // Nothing outside the square: the icon keeps its rounded corners on any theme.
    result.a *= coverage(square);
    return result;
}

std::uint8_t toByte(float value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

void appendBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void appendChunk(std::string& out, const char* type, const std::string& data) {
    appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    const auto* bytes = reinterpret_cast<const Bytef*>(typed.data());
    appendBigEndian(out,
                    static_cast<std::uint32_t>(crc32(0L, bytes, static_cast<uInt>(typed.size()))));
}

// An 8-bit RGBA PNG; rows carry filter byte 0.
bool encodePng(int size, const std::vector<std::uint8_t>& rgba, std::string& png) {
    std::string raw;
    const auto side = static_cast<std::size_t>(size);
    raw.reserve(side * (side * 4 + 1));
    for (std::size_t y = 0; y < side; ++y) {
        raw.push_back('\0');
        raw.append(reinterpret_cast<const char*>(&rgba[y * side * 4]), side * 4);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return false;
    }
    packed.resize(packedSize);

    std::string header;
    appendBigEndian(header, static_cast<std::uint32_t>(size));
    appendBigEndian(header, static_cast<std::uint32_t>(size));
    header += std::string("\x08\x06\x00\x00\x00",
                          5);  // 8 bits, RGBA, deflate, no filter set, no interlace

    png = "\x89PNG\r\n\x1a\n";
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", "");
    return true;
}

std::vector<std::uint8_t> renderPixels(int size, const std::vector<Point>& ship, Rgba shipColour,
                                       bool fullBleed) {
    const auto side = static_cast<std::size_t>(size);
    std::vector<std::uint8_t> rgba(side * side * 4);
    const float pixelsPerUnit = static_cast<float>(size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Point p{(static_cast<float>(x) + 0.5f) / pixelsPerUnit,
                          (static_cast<float>(y) + 0.5f) / pixelsPerUnit};
            const Rgba c = pixel(p, pixelsPerUnit, ship, shipColour, fullBleed);
            std::uint8_t* out =
                &rgba[(static_cast<std::size_t>(y) * side + static_cast<std::size_t>(x)) * 4];
            out[0] = toByte(c.r);
            out[1] = toByte(c.g);
            out[2] = toByte(c.b);
            out[3] = toByte(c.a);
        }
    }
    return rgba;
}

void appendLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A 32-bit bitmap as icons hold it: the header gives twice the height, for the
// colour rows and the 1-bit mask rows after them, both stored bottom row first.
// The mask marks fully transparent pixels, for programs that ignore alpha.
std::string encodeIconBitmap(int size, const std::vector<std::uint8_t>& rgba) {
    const std::uint32_t maskStride = ((static_cast<std::uint32_t>(size) + 31) / 32) * 4;
    const auto side32 = static_cast<std::uint32_t>(size);
    const std::uint32_t imageBytes = side32 * side32 * 4 + maskStride * side32;
    std::string bmp;
    appendLittleEndian(bmp, 40, 4);  // BITMAPINFOHEADER
    appendLittleEndian(bmp, static_cast<std::uint32_t>(size), 4);
    appendLittleEndian(bmp, static_cast<std::uint32_t>(size) * 2, 4);
    appendLittleEndian(bmp, 1, 2);   // planes
    appendLittleEndian(bmp, 32, 2);  // bits per pixel
    appendLittleEndian(bmp, 0, 4);   // uncompressed
    appendLittleEndian(bmp, imageBytes, 4);
    for (int i = 0; i < 4; ++i) appendLittleEndian(bmp, 0, 4);  // resolution, palette
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const std::uint8_t* p =
                &rgba[(static_cast<std::size_t>(y) * side32 + static_cast<std::size_t>(x)) * 4];
            bmp += {static_cast<char>(p[2]), static_cast<char>(p[1]), static_cast<char>(p[0]),
                    static_cast<char>(p[3])};
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        std::string row(maskStride, '\0');
        for (int x = 0; x < size; ++x) {
            if (rgba[(static_cast<std::size_t>(y) * side32 + static_cast<std::size_t>(x)) * 4 +
                     3] == 0)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
        }
        bmp += row;
    }
    return bmp;
}

struct IconImage {
    int size;
    std::string bytes;
};

// A Windows .ico: a directory of entries, then the images. The 256 px image is
// kept as PNG, as Windows expects it; the smaller ones as bitmaps, which every
// version of Windows and every resource tool reads.
std::string encodeIco(const std::vector<IconImage>& images) {
    std::string ico;
    appendLittleEndian(ico, 0, 2);
    appendLittleEndian(ico, 1, 2);  // an icon, not a cursor
    appendLittleEndian(ico, static_cast<std::uint32_t>(images.size()), 2);
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (const IconImage& image : images) {
        const auto side = static_cast<std::uint32_t>(image.size >= 256 ? 0 : image.size);
        appendLittleEndian(ico, side, 1);
        appendLittleEndian(ico, side, 1);
        appendLittleEndian(ico, 0, 2);   // no palette, reserved
        appendLittleEndian(ico, 1, 2);   // planes
        appendLittleEndian(ico, 32, 2);  // bits per pixel
        appendLittleEndian(ico, static_cast<std::uint32_t>(image.bytes.size()), 4);
        appendLittleEndian(ico, offset, 4);
        offset += static_cast<std::uint32_t>(image.bytes.size());
    }
    for (const IconImage& image : images) ico += image.bytes;
    return ico;
}

std::string hexColour(Rgba c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", toByte(c.r), toByte(c.g), toByte(c.b));
    return text;
}

std::string number(float unitValue) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(unitValue * 256.0f));
    return text;
}

std::string renderSvg(const std::vector<Point>& ship, Rgba shipColour) {
    std::ostringstream svg;
    std::string points;
    for (const Point& p : ship)
        points += (points.empty() ? "" : " ") + number(p.x) + "," + number(p.y);
    const std::string side = number(1.0f - 2.0f * kMargin);

    svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 "
           "256 256\">\n"
        << "  <defs>\n"
        << "    <linearGradient id=\"sky\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n"
        << "      <stop offset=\"0\" stop-color=\"" << hexColour(kBackgroundTop) << "\"/>\n"
        << "      <stop offset=\"1\" stop-color=\"" << hexColour(kBackgroundBottom) << "\"/>\n"
        << "    </linearGradient>\n"
        << "  </defs>\n"
        << "  <rect x=\"" << number(kMargin) << "\" y=\"" << number(kMargin) << "\" width=\""
        << side << "\" height=\"" << side << "\" rx=\"" << number(kCorner)
        << "\" fill=\"url(#sky)\"/>\n";
    for (const Star& star : kStars) {
        svg << "  <circle cx=\"" << number(star.x) << "\" cy=\"" << number(star.y) << "\" r=\""
            << number(star.radius) << "\" fill=\"#ffffff\" fill-opacity=\"" << star.alpha
            << "\"/>\n";
    }
    const std::string colour = hexColour(shipColour);
    svg << "  <polyline points=\"" << points << "\" fill=\"none\" stroke=\"" << colour
        << "\" stroke-opacity=\"" << kGlowAlpha / 2.0f << "\" stroke-width=\"" << number(kGlowWidth)
        << "\" stroke-linejoin=\"round\" stroke-linecap=\"round\"/>\n"
        << "  <polyline points=\"" << points << "\" fill=\"none\" stroke=\"" << colour
        << "\" stroke-width=\"" << number(kLineWidth)
        << "\" stroke-linejoin=\"round\" stroke-linecap=\"round\"/>\n"
        << "</svg>\n";
    return svg.str();
}

bool writeFile(const fs::path& path, const std::string& bytes) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
    file.close();
    if (!file) {
        std::cerr << "make_icons: cannot write " << path.string() << std::endl;
        return false;
    }
    return true;
}

// The installer's pictures, in pixels: the sky of the icon, stars strewn by a
// fixed sequence, the outlines glowing as on the icon, and the title in the
// game's font.
struct Scene {
    int width, height;
    std::vector<Star> stars;
    struct Shape {
        std::vector<Point> points;
        Rgba colour;
        float lineWidth;
    };
    std::vector<Shape> shapes;
    // The title's coverage, one byte a pixel, and where its top left lies.
    std::vector<std::uint8_t> title;
    int titleWidth = 0, titleHeight = 0, titleX = 0, titleY = 0;
    Rgba titleColour{1.0f, 1.0f, 1.0f, 1.0f};
};

std::vector<Star> strewStars(int width, int height, int count) {
    std::uint32_t state = 207;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / static_cast<float>(1u << 24);
    };
    std::vector<Star> stars;
    for (int i = 0; i < count; ++i) {
        const float x = next() * static_cast<float>(width);
        const float y = next() * static_cast<float>(height);
        stars.push_back({x, y, 0.5f + next() * 0.9f, 0.35f + next() * 0.6f});
    }
    return stars;
}

Rgba scenePixel(const Scene& scene, Point p) {
    const float t = p.y / static_cast<float>(scene.height);
    Rgba result{kBackgroundTop.r + (kBackgroundBottom.r - kBackgroundTop.r) * t,
                kBackgroundTop.g + (kBackgroundBottom.g - kBackgroundTop.g) * t,
                kBackgroundTop.b + (kBackgroundBottom.b - kBackgroundTop.b) * t, 1.0f};
    for (const Star& star : scene.stars) {
        const float d = std::hypot(p.x - star.x, p.y - star.y) - star.radius;
        result = over({1.0f, 1.0f, 1.0f, star.alpha * coverage(d)}, result);
    }
    for (const Scene::Shape& shape : scene.shapes) {
        const float d = distanceToStrip(p, shape.points);
        const float glowWidth = shape.lineWidth * (kGlowWidth / kLineWidth);
        const float glow = std::clamp(1.0f - d / (glowWidth / 2.0f), 0.0f, 1.0f);
        result = over(withAlpha(shape.colour, kGlowAlpha * glow * glow), result);
        result = over(withAlpha(shape.colour, coverage(d - shape.lineWidth / 2.0f)), result);
    }
    const int tx = static_cast<int>(p.x) - scene.titleX, ty = static_cast<int>(p.y) - scene.titleY;
    if (tx >= 0 && ty >= 0 && tx < scene.titleWidth && ty < scene.titleHeight) {
        const std::size_t at =
            static_cast<std::size_t>(ty) * static_cast<std::size_t>(scene.titleWidth) +
            static_cast<std::size_t>(tx);
        result = over(withAlpha(scene.titleColour, static_cast<float>(scene.title[at]) / 255.0f),
                      result);
    }
    return result;
}

// An uncompressed 24-bit bitmap file, rows bottom first, each padded to 4 bytes.
std::string encodeBitmapFile(const Scene& scene) {
    const auto width = static_cast<std::uint32_t>(scene.width);
    const auto height = static_cast<std::uint32_t>(scene.height);
    const std::uint32_t stride = (width * 3 + 3) / 4 * 4;
    const std::uint32_t imageBytes = stride * height;
    std::string bmp = "BM";
    appendLittleEndian(bmp, 14 + 40 + imageBytes, 4);
    appendLittleEndian(bmp, 0, 4);
    appendLittleEndian(bmp, 14 + 40, 4);  // where the rows begin
    appendLittleEndian(bmp, 40, 4);       // BITMAPINFOHEADER
    appendLittleEndian(bmp, width, 4);
    appendLittleEndian(bmp, height, 4);
    appendLittleEndian(bmp, 1, 2);   // planes
    appendLittleEndian(bmp, 24, 2);  // bits per pixel
    appendLittleEndian(bmp, 0, 4);   // uncompressed
    appendLittleEndian(bmp, imageBytes, 4);
    appendLittleEndian(bmp, 3780, 4);  // 96 dots per inch
    appendLittleEndian(bmp, 3780, 4);
    appendLittleEndian(bmp, 0, 4);  // no palette
    appendLittleEndian(bmp, 0, 4);
    for (int y = scene.height - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < scene.width; ++x) {
            const Rgba c =
                scenePixel(scene, {static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f});
            row += {static_cast<char>(toByte(c.b)), static_cast<char>(toByte(c.g)),
                    static_cast<char>(toByte(c.r))};
        }
        row.resize(stride, '\0');
        bmp += row;
    }
    return bmp;
}

// Sets the scene's title to `text` in `fontFile` at `pointSize`, centred on x,
// its top at y. False, with the reason on stderr, when the font cannot draw.
bool setTitle(Scene& scene, const std::string& fontFile, int pointSize, const char* text,
              float centreX, int top) {
    if (TTF_WasInit() == 0 && TTF_Init() != 0) {
        std::cerr << "make_icons: no font rendering: " << TTF_GetError() << std::endl;
        return false;
    }
    TTF_Font* font = TTF_OpenFont(fontFile.c_str(), pointSize);
    SDL_Surface* surface = font != nullptr
                               ? TTF_RenderUTF8_Blended(font, text, SDL_Color{255, 255, 255, 255})
                               : nullptr;
    if (surface == nullptr) {
        std::cerr << "make_icons: cannot draw with " << fontFile << ": " << TTF_GetError()
                  << std::endl;
        if (font != nullptr) TTF_CloseFont(font);
        return false;
    }
    scene.titleWidth = surface->w;
    scene.titleHeight = surface->h;
    scene.titleX = static_cast<int>(std::lround(centreX - static_cast<float>(surface->w) / 2.0f));
    scene.titleY = top;
    scene.title.assign(static_cast<std::size_t>(surface->w) * static_cast<std::size_t>(surface->h),
                       0);
    SDL_LockSurface(surface);
    for (int y = 0; y < surface->h; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(surface->pixels) +
                          static_cast<std::ptrdiff_t>(y) * surface->pitch;
        for (int x = 0; x < surface->w; ++x) {
            std::uint32_t pixel = 0;
            std::memcpy(&pixel, row + static_cast<std::ptrdiff_t>(x) * 4, sizeof pixel);
            Uint8 r = 0, g = 0, b = 0, a = 0;
            SDL_GetRGBA(pixel, surface->format, &r, &g, &b, &a);
            scene.title[static_cast<std::size_t>(y) * static_cast<std::size_t>(surface->w) +
                        static_cast<std::size_t>(x)] = a;
        }
    }
    SDL_UnlockSurface(surface);
    SDL_FreeSurface(surface);
    TTF_CloseFont(font);
    return true;
}

Rgba colourOf(const vexa::Model& model) {
    const vexa::Color& c = model.GetColor();
    return {c.r, c.g, c.b, 1.0f};
}

// The tall picture beside the first and last pages: the title high up, the
// ship flying right below it, and asteroids coming at it from the lower right.
bool drawSide(const vexa::Model& ship, const vexa::Model& asteroid, const std::string& font,
              const fs::path& out) {
    Scene scene{164, 314, strewStars(164, 314, 46), {}, {}, 0, 0, 0, 0, colourOf(ship)};
    scene.shapes.push_back({outline(ship, 70.0f, 150.0f, 74.0f), colourOf(ship), 2.6f});
    if (asteroid.GetPoints().size() >= 2) {
        scene.shapes.push_back(
            {outline(asteroid, 128.0f, 222.0f, 34.0f), colourOf(asteroid), 2.0f});
        scene.shapes.push_back({outline(asteroid, 92.0f, 270.0f, 22.0f), colourOf(asteroid), 1.8f});
    }
    if (!setTitle(scene, font, 30, "ZAP207", 82.0f, 46)) return false;
    return writeFile(out / "side.bmp", encodeBitmapFile(scene));
}

// The small picture in the other pages' header: the ship and the title side by side.
bool drawHeader(const vexa::Model& ship, const std::string& font, const fs::path& out) {
    Scene scene{150, 57, strewStars(150, 57, 12), {}, {}, 0, 0, 0, 0, colourOf(ship)};
    scene.shapes.push_back({outline(ship, 28.0f, 28.5f, 36.0f), colourOf(ship), 2.0f});
    if (!setTitle(scene, font, 18, "ZAP207", 100.0f, 16)) return false;
    return writeFile(out / "header.bmp", encodeBitmapFile(scene));
}

int drawInstallerArt(const fs::path& assets, const fs::path& out) {
    vexa::Model ship;
    ship.Load((assets / "falcon.txt").string());
    if (ship.GetPoints().size() < 2) {
        std::cerr << "make_icons: " << (assets / "falcon.txt").string()
                  << " holds no outline to draw" << std::endl;
        return 1;
    }
    vexa::Model asteroid;
    asteroid.Load((assets / "asteroid.txt").string());
    const std::string font = (assets / "font.ttf").string();
    const bool drawn = drawSide(ship, asteroid, font, out) && drawHeader(ship, font, out);
    if (TTF_WasInit() != 0) TTF_Quit();
    return drawn ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc == 4 && std::string(argv[1]) == "--installer-art")
        return drawInstallerArt(argv[2], argv[3]);
    const bool maskable = argc > 1 && std::string(argv[1]) == "--maskable";
    if (maskable) {
        --argc;
        ++argv;
    }
    if (argc < 4) {
        std::cerr << "usage: make_icons [--maskable] <model file> <out dir> <size>...\n"
                     "       make_icons --installer-art <Assets dir> <out dir>"
                  << std::endl;
        return 2;
    }
    vexa::Model model;
    model.Load(argv[1]);
    if (model.GetPoints().size() < 2) {
        std::cerr << "make_icons: " << argv[1] << " holds no outline to draw" << std::endl;
        return 1;
    }
    const vexa::Color& c = model.GetColor();
    const Rgba shipColour{c.r, c.g, c.b, 1.0f};
    std::vector<Point> ship = shipOutline(model);
    // A platform's mask may keep no more than the circle across 80 % of the
    // icon: the ship shrinks about the centre to lie inside it.
    if (maskable) {
        for (Point& p : ship) p = {0.5f + (p.x - 0.5f) * 0.75f, 0.5f + (p.y - 0.5f) * 0.75f};
    }
    const fs::path out = argv[2];

    if (!writeFile(out / "zap207.svg", renderSvg(ship, shipColour))) return 1;
    std::vector<IconImage> icoImages;
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 16 || size > 1024) {
            std::cerr << "make_icons: size " << argv[i] << " is not between 16 and 1024"
                      << std::endl;
            return 2;
        }
        const std::vector<std::uint8_t> rgba = renderPixels(size, ship, shipColour, maskable);
        std::string png;
        if (!encodePng(size, rgba, png) ||
            !writeFile(out / std::to_string(size) / "zap207.png", png))
            return 1;
        if (size < 256) icoImages.push_back({size, encodeIconBitmap(size, rgba)});
        if (size == 256) icoImages.push_back({size, png});
    }
    if (!writeFile(out / "zap207.ico", encodeIco(icoImages))) return 1;
    return 0;
}
