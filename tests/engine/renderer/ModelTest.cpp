#include "renderer/Model.h"

#include "CapturedStream.h"
#include "Printers.h"
#include "SoftwareCanvas.h"
#include "TempDir.h"
#include "core/Transform.h"
#include "renderer/ModelManager.h"
#include "renderer/Renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

using testing_support::CapturedStream;
using testing_support::Rgba;
using testing_support::SameColor;
using testing_support::SameVector;
using testing_support::ScopedWorkingDirectory;
using testing_support::SoftwareCanvas;
using testing_support::TempDir;
using vexa::Color;
using vexa::Model;
using vexa::Vector2;

namespace {

class ModelFiles : public ::testing::Test {
protected:
    Model LoadText(const std::string& name, const std::string& contents) {
        m_dir.Write(name, contents);
        Model model;
        model.Load(name);
        return model;
    }

    TempDir m_dir;
    ScopedWorkingDirectory m_cwd{m_dir.Path()};
};

const char* const kSquare = "{1, 1, 1}\n5\n{0,0}\n{10,0}\n{10,10}\n{0,10}\n{0,0}\n";

}  // namespace

TEST_F(ModelFiles, ReadsColourCountAndPointsWhateverTheLineEndings) {
    const Model model = LoadText("ship.txt",
                                 "{0.25, 0.5, 1, 0.1}\r\n  3 points\r\n{-4, 3.5}\r\n"
                                 " { 1 , -2 } \r\n{0,0}\r\n{9,9}\r\n");
    EXPECT_PRED2(SameColor, model.GetColor(), Color(0.25f, 0.5f, 1.0f, 1.0f));
    ASSERT_EQ(model.GetPoints().size(), 3u);
    EXPECT_PRED2(SameVector, model.GetPoints()[0], Vector2(-4.0f, 3.5f));
    EXPECT_PRED2(SameVector, model.GetPoints()[1], Vector2(1.0f, -2.0f));

    CapturedStream errors{std::cerr};
    EXPECT_TRUE(LoadText("none.txt", "{1,1,1}\n-3\n{1,1}\n").GetPoints().empty());
    EXPECT_TRUE(LoadText("zero.txt", "{1,1,1}\n0\n").GetPoints().empty());
    EXPECT_EQ(errors.Text(), "") << "a count of 0 or less is not an error";
}

TEST_F(ModelFiles, OversizedFileIsRefusedByItsSizeWithoutReadingIt) {
    // Sparse: it takes no disk, and reading it would take 8 GiB of memory.
    const auto big = m_dir.Write("big.txt", "{1,1,1}\n2\n{0,0}\n{1,1}\n");
    std::filesystem::resize_file(big, std::uintmax_t{8} << 30);

    CapturedStream errors{std::cerr};
    Model model;
    EXPECT_TRUE(model.Load("big.txt"));
    EXPECT_TRUE(model.GetPoints().empty());
    EXPECT_EQ(errors.Text(),
              "Cannot load model big.txt: it is 8589934592 bytes, more than the 4194304 allowed\n");

    // Just under the limit is still read, and parsed as far as it makes sense.
    const std::string model4k = "{1,1,1}\n2\n{0,0}\n{1,1}\n" + std::string(4000, '\n');
    EXPECT_EQ(LoadText("padded.txt", model4k).GetPoints().size(), 2u);
}

TEST_F(ModelFiles, RadiusIsTheFarthestPointInModelUnits) {
    EXPECT_FLOAT_EQ(LoadText("r.txt", "{1,1,1}\n2\n{3,4}\n{-1,0}\n").GetRadius(), 5.0f);
    EXPECT_EQ(Model().GetRadius(), 0.0f);
}

TEST_F(ModelFiles, DrawScalesThenRotatesThenMoves) {
    SoftwareCanvas canvas;
    Model model = LoadText("dash.txt", "{1,1,1}\n2\n{0,0}\n{1,0}\n");
    model.Draw(vexa::g_renderer, vexa::Transform(Vector2(100.0f, 100.0f), vexa::kHalfPi, 2.0f));

    // (1, 0) scaled to (2, 0) and turned clockwise ends below the position.
    EXPECT_TRUE(canvas.IsLitNear(100.0f, 102.0f));
    EXPECT_FALSE(canvas.IsLitNear(102.0f, 100.0f));
    EXPECT_FALSE(canvas.IsLitNear(100.0f, 98.0f));
    EXPECT_LE(canvas.LitBox().Width(), 2);
}

TEST_F(ModelFiles, PointsFormAnOpenStripOfSegments) {
    SoftwareCanvas canvas;
    Model closed = LoadText("closed.txt", kSquare);
    closed.Draw(vexa::g_renderer, Vector2(100.0f, 100.0f), 0.0f, 1.0f);
    EXPECT_TRUE(canvas.IsLitNear(100.0f, 105.0f)) << "the fourth side closes the square";
    EXPECT_TRUE(canvas.IsLitNear(105.0f, 110.0f));

    canvas.Clear();
    Model open = LoadText("open.txt", "{1,1,1}\n4\n{0,0}\n{10,0}\n{10,10}\n{0,10}\n");
    open.Draw(vexa::g_renderer, Vector2(100.0f, 100.0f), 0.0f, 1.0f);
    EXPECT_TRUE(canvas.IsLitNear(105.0f, 110.0f));
    EXPECT_FALSE(canvas.IsLitNear(100.0f, 105.0f));
}

TEST_F(ModelFiles, EmptyModelKeepsTheDrawColourAndOnePointDrawsNoSegment) {
    SoftwareCanvas canvas;
    SDL_SetRenderDrawColor(canvas.Renderer(), 1, 2, 3, 4);
    Model().Draw(vexa::g_renderer, Vector2(10.0f, 10.0f), 0.0f, 1.0f);
    Rgba colour;
    SDL_GetRenderDrawColor(canvas.Renderer(), &colour.r, &colour.g, &colour.b, &colour.a);
    EXPECT_EQ(colour, (Rgba{1, 2, 3, 4}));

    Model dot = LoadText("dot.txt", "{0, 1, 0}\n1\n{5,5}\n");
    dot.Draw(vexa::g_renderer, Vector2(10.0f, 10.0f), 0.0f, 1.0f);
    SDL_GetRenderDrawColor(canvas.Renderer(), &colour.r, &colour.g, &colour.b, &colour.a);
    EXPECT_EQ(colour, (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(canvas.LitCount(), 0);
}

TEST_F(ModelFiles, ColourIsKeptAsReadAndClampedToBytesWhenDrawn) {
    SoftwareCanvas canvas;
    Model model = LoadText("c.txt", "{1, 0.5, 1.2}\n2\n{0,0}\n{40,0}\n");
    EXPECT_PRED2(SameColor, model.GetColor(), Color(1.0f, 0.5f, 1.2f, 1.0f));
    model.Draw(vexa::g_renderer, Vector2(10.0f, 20.0f), 0.0f, 1.0f);
    EXPECT_EQ(canvas.Pixel(30, 20), (Rgba{255, 127, 255, 255}));
}

TEST_F(ModelFiles, CacheReadsEachNameOnceAndReturnsTheSameModel) {
    vexa::ModelManager cache;
    m_dir.Write("rock.txt", kSquare);
    const auto first = cache.Get("rock.txt");
    // Written once the first is gone: where file names ignore case, as on
    // Windows, both names open the same file.
    std::filesystem::remove("rock.txt");
    m_dir.Write("Rock.txt", "{1,1,1}\n2\n{0,0}\n{1,1}\n");

    EXPECT_EQ(cache.Get("rock.txt"), first);
    EXPECT_EQ(first->GetPoints().size(), 5u) << "the file is not read again";
    EXPECT_EQ(cache.Get("Rock.txt")->GetPoints().size(), 2u);

    CapturedStream errors{std::cerr};
    cache.Get("gone.txt");
    cache.Get("gone.txt");
    const std::string text = errors.Text();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1)
        << "a broken file is reported once, not at every request";
}

TEST_F(ModelFiles, AnythingUnreadableLeavesAnEmptyModelAndOneLineNamingTheFile) {
    struct Case {
        std::string name;
        const char* contents;  // null: not written
    };
    std::filesystem::create_directory("folder.txt");
    const Case cases[] = {
        {"missing.txt", nullptr},
        {"folder.txt", nullptr},
        {std::string(300, 'n') + ".txt", nullptr},  // the file system refuses to examine it
        {"empty.txt", ""},
        {"colour.txt", "{red, 1, 1}\n2\n{0,0}\n{1,1}\n"},
        {"count.txt", "{1,1,1}\nthree\n{0,0}\n{1,1}\n{2,2}\n"},
        {"huge.txt", "{1,1,1}\n99999999999\n{0,0}\n"},
        {"point.txt", "{1,1,1}\n2\n{0,0}\n{x,1}\n"},
        {"short.txt", "{1,1,1}\n4\n{0,0}\n{1,1}\n"},
        {"absurd.txt", "{1,1,1}\n2000000000\n{0,0}\n{3,4}\n"},
        {"nancolour.txt", "{nan, 1, 1}\n2\n{0,0}\n{1,1}\n"},
        {"infcolour.txt", "{1, 1, -INF}\n2\n{0,0}\n{1,1}\n"},
        {"nanpoint.txt", "{1,1,1}\n2\n{0,0}\n{1, NaN}\n"},
        {"infpoint.txt", "{1,1,1}\n2\n{infinity,0}\n{1,1}\n"},
        {"overflow.txt", "{1,1,1}\n2\n{0,0}\n{1e39,1}\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.substr(0, 20));
        if (c.contents != nullptr) m_dir.Write(c.name, c.contents);
        CapturedStream errors{std::cerr};
        Model model;
        EXPECT_TRUE(model.Load(c.name));
        EXPECT_TRUE(model.GetPoints().empty());
        EXPECT_EQ(model.GetRadius(), 0.0f);
        const std::string text = errors.Text();
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        EXPECT_NE(text.find(c.name), std::string::npos) << text;
    }
}
