#include "res/pixel_art.h"
#include "res/resource.h"

#include <gtest/gtest.h>
#include <string>

namespace kel::res {
namespace {

const Palette kTwoColours{{'.', 0x00000000}, {'x', 0xFF112233}};

TEST(PixelArt, ParsesIndentedRowsBetweenBlankLines) {
    const ArtResult art = ParseArt(R"(

        .x.
        xx.

    )",
                                   kTwoColours);
    ASSERT_TRUE(art.ok()) << art.error;
    EXPECT_EQ(art.image.width, 3);
    EXPECT_EQ(art.image.height, 2);
    const std::vector<std::uint32_t> expected{0, 0xFF112233, 0, 0xFF112233, 0xFF112233, 0};
    EXPECT_EQ(art.image.pixels, expected);
}

TEST(PixelArt, RejectsMalformedPicturesWithoutAnImage) {
    struct Case {
        const char* text;
        const char* errorPart;
    };
    const Case cases[] = {
        {"x.x\nxx\nxxx", "row 2 has 2 pixels, expected 3"},
        {"xx\n\nxx", "row 2 has 0 pixels"},
        {"x.\n.q", "row 2, column 2: unknown character 'q'"},
        {"x\xC3\xA9", "column 2: unknown character byte 195"},
        {"x x", "unknown character byte 32"}, // a blank inside a row is not transparency
        {"\n  \n", "no rows"},
        {"", "no rows"},
    };
    for (const Case& c : cases) {
        const ArtResult art = ParseArt(c.text, kTwoColours);
        EXPECT_FALSE(art.ok()) << c.text;
        EXPECT_NE(art.error.find(c.errorPart), std::string::npos) << art.error;
        EXPECT_TRUE(art.image.pixels.empty());
        EXPECT_EQ(art.image.width, 0);
    }
}

TEST(PixelArt, PaletteIgnoresKeysThatCannotBeTyped) {
    const Palette palette{{' ', 0xFF000000}, {static_cast<char>(0xE9), 0xFF000000}, {'a', 1}};
    EXPECT_FALSE(palette.Lookup(' '));
    EXPECT_FALSE(palette.Lookup(static_cast<char>(0xE9)));
    EXPECT_EQ(palette.Lookup('a'), 1u);
}

// The skinned buttons cut their state out of the strip by position, so the layout is a
// contract: four square frames, glyph centred, pressed glyph one pixel down and right.
TEST(ButtonStrip, LaysOutFourStatesOfTheGlyph) {
    // Only the glyph's top-left pixel is opaque: the frames can be told apart by where it lands.
    std::string rows;
    for (int y = 0; y < kGlyphSize; ++y) {
        rows += (y == 0 ? "x" : ".") + std::string(kGlyphSize - 1, '.') + "\n";
    }
    const ArtResult glyph = ParseArt(rows, kTwoColours);
    ASSERT_TRUE(glyph.ok()) << glyph.error;
    const ArtResult strip = MakeButtonStrip(glyph.image);
    ASSERT_TRUE(strip.ok()) << strip.error;
    ASSERT_EQ(strip.image.width, BUTTON_FRAME_SIZE * BUTTON_FRAME_COUNT);
    ASSERT_EQ(strip.image.height, BUTTON_FRAME_SIZE);
    ASSERT_EQ(strip.image.pixels.size(), static_cast<std::size_t>(64 * 16));

    const auto at = [&](int frame, int x, int y) {
        return strip.image.pixels[static_cast<std::size_t>(y * strip.image.width +
                                                           frame * BUTTON_FRAME_SIZE + x)];
    };
    const int inset = (BUTTON_FRAME_SIZE - kGlyphSize) / 2;
    EXPECT_EQ(at(BUTTON_FRAME_NORMAL, inset, inset), 0xFF112233u);
    EXPECT_EQ(at(BUTTON_FRAME_HOT, inset, inset), 0xFF112233u);
    EXPECT_EQ(at(BUTTON_FRAME_PRESSED, inset + 1, inset + 1), 0xFF112233u);
    EXPECT_NE(at(BUTTON_FRAME_PRESSED, inset, inset), 0xFF112233u);
    // Disabled: the glyph is greyed, not drawn in its own colour.
    EXPECT_NE(at(BUTTON_FRAME_DISABLED, inset, inset), 0xFF112233u);
    EXPECT_NE(at(BUTTON_FRAME_DISABLED, inset, inset), at(BUTTON_FRAME_NORMAL, 5, 5));
    // Every pixel of a frame is opaque: the strip paints the whole button.
    for (std::uint32_t pixel : strip.image.pixels) {
        ASSERT_EQ(pixel >> 24, 0xFFu);
    }
    // Hot and pressed faces differ from the normal face.
    EXPECT_NE(at(BUTTON_FRAME_HOT, 8, 8), at(BUTTON_FRAME_NORMAL, 8, 8));
    EXPECT_NE(at(BUTTON_FRAME_PRESSED, 8, 8), at(BUTTON_FRAME_NORMAL, 8, 8));
}

TEST(ButtonStrip, RefusesGlyphsOfAnotherSize) {
    ImageData small;
    small.width = 4;
    small.height = 4;
    small.pixels.assign(16, 0xFF000000);
    EXPECT_FALSE(MakeButtonStrip(small).ok());

    ImageData lying; // claims the right size but holds too few pixels
    lying.width = kGlyphSize;
    lying.height = kGlyphSize;
    lying.pixels.assign(3, 0xFF000000);
    EXPECT_FALSE(MakeButtonStrip(lying).ok());
}

} // namespace
} // namespace kel::res
