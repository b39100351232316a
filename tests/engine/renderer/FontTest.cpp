#include "renderer/Font.h"
#include "renderer/Renderer.h"
#include "renderer/Text.h"

#include "CapturedStream.h"
#include "HostileFiles.h"
#include "SoftwareCanvas.h"
#include "TempDir.h"

#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

using testing_support::CapturedStream;
using testing_support::ReadWhole;
using testing_support::SoftwareCanvas;
using testing_support::TempDir;

namespace {

const std::string kShippedFont = ZAP207_SOURCE_ASSETS "/font.ttf";
const vexa::Color kWhite{1.0f, 1.0f, 1.0f, 1.0f};

class FontTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(TTF_Init(), 0) << TTF_GetError(); }
    void TearDown() override { TTF_Quit(); }

    // Loads `path` and returns what was printed on stderr.
    static std::string LoadFails(const std::filesystem::path& path) {
        CapturedStream err{std::cerr};
        vexa::Font font{path.string(), 28};
        EXPECT_FALSE(font.IsOpen()) << path;
        EXPECT_EQ(err.LineCount(), 1) << err.Text();
        EXPECT_NE(err.Text().find(path.string()), std::string::npos) << err.Text();
        return err.Text();
    }

    TempDir m_dir;
};

// How many pixels a caption lights when drawn with `font`.
int litPixels(const std::shared_ptr<vexa::Font>& font) {
    SoftwareCanvas canvas;
    vexa::Text text{font};
    text.Create(vexa::g_renderer, "HIGH SCORE 0", kWhite);
    text.Draw(vexa::g_renderer, 0, 0);
    return canvas.LitCount();
}

}  // namespace

// Each of these once blocked in open() for ever or read without end; now each
// is refused at once with one line naming the file, and the game goes on.
TEST_F(FontTest, AnythingButARegularFileOfSaneSizeIsRefusedWithoutOpeningIt) {
    EXPECT_NE(LoadFails(m_dir.Path() / "absent.ttf").find("no such file"), std::string::npos);
    EXPECT_NE(LoadFails(m_dir.Path()).find("directory"), std::string::npos);

    const auto fifo = m_dir.Path() / "fifo.ttf";
    if (testing_support::MakeFifo(fifo)) {
        EXPECT_NE(LoadFails(fifo).find("not a regular file"), std::string::npos);
    }
    const auto endless = m_dir.Path() / "zero.ttf";
    if (testing_support::MakeEndlessLink(endless)) {
        EXPECT_NE(LoadFails(endless).find("not a regular file"), std::string::npos);
    }
    const auto huge = m_dir.Path() / "huge.ttf";
    ASSERT_TRUE(testing_support::MakeSparseFile(huge, vexa::Font::kMaxFileBytes + 1));
    EXPECT_NE(LoadFails(huge).find("allowed"), std::string::npos);

    EXPECT_NE(LoadFails(m_dir.Write("garbage.ttf", "not a font at all")).find("garbage.ttf"),
              std::string::npos);
    const std::string shipped = ReadWhole(kShippedFont);
    LoadFails(m_dir.Write("truncated.ttf", shipped.substr(0, 4096)));
}

// Found by fuzzing: a 7 kB face whose line height is negative and whose every
// glyph advances 2692 px at 28 pt. Rendering one caption took a 617 MB texture.
TEST_F(FontTest, AFaceOutOfAllProportionIsRefusedBeforeAnythingIsRendered) {
    const std::filesystem::path damaged =
        ZAP207_SOURCE_ASSETS "/../tests/fuzz/crashes/font/huge-advances.ttf";
    ASSERT_TRUE(std::filesystem::is_regular_file(damaged));
    EXPECT_NE(LoadFails(damaged).find("out of all proportion"), std::string::npos);

    // The shipped face passes at the sizes a game would use.
    for (int size : {8, 28, 96}) {
        CapturedStream err{std::cerr};
        EXPECT_TRUE(vexa::Font(kShippedFont, size).IsOpen()) << size;
        EXPECT_EQ(err.Text(), "");
    }
}

TEST_F(FontTest, AFontReadIntoMemoryDrawsAndAFailedReloadLeavesItEmpty) {
    auto font = std::make_shared<vexa::Font>(kShippedFont, 28);
    ASSERT_TRUE(font->IsOpen());
    const int lit = litPixels(font);
    EXPECT_GT(lit, 100);

    // Opening the same bytes from memory gives the same glyphs.
    auto fromMemory = std::make_shared<vexa::Font>();
    fromMemory->Open(ReadWhole(kShippedFont), 28, "font.ttf");
    ASSERT_TRUE(fromMemory->IsOpen());
    EXPECT_EQ(litPixels(fromMemory), lit);

    CapturedStream err{std::cerr};
    font->Load((m_dir.Path() / "absent.ttf").string(), 28);
    EXPECT_FALSE(font->IsOpen());
    EXPECT_EQ(litPixels(font), 0);
    fromMemory->Open("junk", 28, "junk.ttf");
    EXPECT_FALSE(fromMemory->IsOpen());
    EXPECT_EQ(err.LineCount(), 2) << err.Text();
    EXPECT_NE(err.Text().find("junk.ttf"), std::string::npos) << err.Text();
}
