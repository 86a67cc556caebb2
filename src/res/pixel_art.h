// Pictures as text: every character of a row is one pixel, looked up in a palette. Rows may be
// indented (blanks and tabs around a row are ignored); blank lines before the first and after
// the last row are ignored too, so a picture can sit in an indented raw string literal.
#pragma once

#include "platform/resource_types.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kel::res {

// Characters to colours (0xAARRGGBB). Only printable ASCII other than the blank can be a key.
class Palette {
public:
    Palette(std::initializer_list<std::pair<char, std::uint32_t>> entries);

    std::optional<std::uint32_t> Lookup(char c) const;

private:
    std::array<std::optional<std::uint32_t>, 128> m_colours{};
};

// The palette of the module's own pictures, so that they share one set of colours.
const Palette& ArtPalette();

// An image, or why the text is not one.
struct ArtResult {
    ImageData image;
    std::string error; // empty when the picture parsed

    bool ok() const { return error.empty(); }
};

ArtResult ParseArt(std::string_view text, const Palette& palette);

// Button glyphs are GLYPH_SIZE pixels square; a strip holds the glyph on a button face four
// times: normal, hot, pressed (face darker, glyph shifted by one pixel), disabled (glyph
// greyed and embossed). See BUTTON_FRAME_* in resource.h.
inline constexpr int kGlyphSize = 12;
ArtResult MakeButtonStrip(const ImageData& glyph);

} // namespace kel::res
