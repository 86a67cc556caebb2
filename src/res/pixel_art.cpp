#include "res/pixel_art.h"

#include "res/resource.h"

#include <vector>

namespace kel::res {

Palette::Palette(std::initializer_list<std::pair<char, std::uint32_t>> entries) {
    for (const auto& [key, colour] : entries) {
        const auto index = static_cast<unsigned char>(key);
        // A blank could not be told apart from indentation; such a key is simply never found.
        if (index > ' ' && index < m_colours.size()) {
            m_colours[index] = colour;
        }
    }
}

std::optional<std::uint32_t> Palette::Lookup(char c) const {
    const auto index = static_cast<unsigned char>(c);
    if (index >= m_colours.size()) {
        return std::nullopt;
    }
    return m_colours[index];
}

const Palette& ArtPalette() {
    static const Palette palette{
        {'.', 0x00000000}, // transparent
        {'k', 0xFF000000},
        {'w', 0xFFFFFFFF},
        {'1', 0xFF404040},
        {'2', 0xFF808080},
        {'3', 0xFFC0C0C0},
        {'r', 0xFFE02828},
        {'R', 0xFF901414},
        {'o', 0xFFF08C20},
        {'y', 0xFFF5D420},
        {'Y', 0xFFA08400},
        {'g', 0xFF2FA844},
        {'G', 0xFF186A28},
        {'b', 0xFF3A6AD8},
        {'B', 0xFF1C3A80},
        {'c', 0xFF40C4E8},
        {'p', 0xFF9A50C8},
        {'t', 0xFFF4ECCC},
        {'n', 0xFF8A5A2A},
        // Material backgrounds: In (green), Stay (blue), Out (orange), light and dark tints.
        {'i', 0xFFB4E6BC},
        {'I', 0xFF6FBF7E},
        {'s', 0xFFBCD2F0},
        {'S', 0xFF7498D0},
        {'u', 0xFFF6CCA8},
        {'U', 0xFFDC9254},
    };
    return palette;
}

namespace {

std::string_view TrimBlanks(std::string_view line) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = line.find_last_not_of(" \t\r");
    return line.substr(first, last - first + 1);
}

std::vector<std::string_view> SplitRows(std::string_view text) {
    std::vector<std::string_view> rows;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        rows.push_back(TrimBlanks(text.substr(start, end - start)));
        start = end + 1;
    }
    while (!rows.empty() && rows.front().empty()) {
        rows.erase(rows.begin());
    }
    while (!rows.empty() && rows.back().empty()) {
        rows.pop_back();
    }
    return rows;
}

std::string Describe(char c) {
    const auto code = static_cast<unsigned char>(c);
    if (code >= 0x21 && code < 0x7F) {
        return std::string("'") + c + "'";
    }
    return "byte " + std::to_string(code);
}

} // namespace

ArtResult ParseArt(std::string_view text, const Palette& palette) {
    ArtResult result;
    const std::vector<std::string_view> rows = SplitRows(text);
    if (rows.empty()) {
        result.error = "no rows";
        return result;
    }
    const std::size_t width = rows.front().size();
    ImageData& image = result.image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(rows.size());
    image.pixels.reserve(width * rows.size());
    for (std::size_t y = 0; y < rows.size(); ++y) {
        const std::string_view row = rows[y];
        if (row.size() != width) {
            result.error = "row " + std::to_string(y + 1) + " has " + std::to_string(row.size()) +
                           " pixels, expected " + std::to_string(width);
            result.image = {};
            return result;
        }
        for (std::size_t x = 0; x < width; ++x) {
            const auto colour = palette.Lookup(row[x]);
            if (!colour) {
                result.error = "row " + std::to_string(y + 1) + ", column " +
                               std::to_string(x + 1) + ": unknown character " + Describe(row[x]);
                result.image = {};
                return result;
            }
            image.pixels.push_back(*colour);
        }
    }
    return result;
}

namespace {

constexpr std::uint32_t kFace = 0xFFD4D0C8;
constexpr std::uint32_t kFaceHot = 0xFFECEAE4;
constexpr std::uint32_t kFacePressed = 0xFFB8B4AA;
constexpr std::uint32_t kLight = 0xFFFFFFFF;
constexpr std::uint32_t kShadow = 0xFF808080;
constexpr std::uint32_t kGreyed = 0xFF9C9890;

bool Opaque(std::uint32_t pixel) {
    return (pixel >> 24) != 0;
}

// One frame of a strip: the face, a one-pixel relief, the glyph at (gx, gy) inside the frame.
class FramePainter {
public:
    FramePainter(ImageData& strip, int frame) : m_strip(strip), m_left(frame * BUTTON_FRAME_SIZE) {}

    void Set(int x, int y, std::uint32_t colour) {
        if (x >= 0 && y >= 0 && x < BUTTON_FRAME_SIZE && y < BUTTON_FRAME_SIZE) {
            const auto index =
                static_cast<std::size_t>(y) * static_cast<std::size_t>(m_strip.width) +
                static_cast<std::size_t>(m_left + x);
            m_strip.pixels[index] = colour;
        }
    }

    void Face(std::uint32_t face, std::uint32_t topLeft, std::uint32_t bottomRight) {
        const int last = BUTTON_FRAME_SIZE - 1;
        for (int y = 0; y < BUTTON_FRAME_SIZE; ++y) {
            for (int x = 0; x < BUTTON_FRAME_SIZE; ++x) {
                std::uint32_t colour = face;
                if (x == last || y == last) {
                    colour = bottomRight;
                } else if (x == 0 || y == 0) {
                    colour = topLeft;
                }
                Set(x, y, colour);
            }
        }
    }

    // Draws the glyph; with `flat` set every opaque pixel takes that one colour instead.
    void Glyph(const ImageData& glyph, int gx, int gy, std::optional<std::uint32_t> flat = {}) {
        for (int y = 0; y < glyph.height; ++y) {
            for (int x = 0; x < glyph.width; ++x) {
                const std::uint32_t pixel =
                    glyph.pixels[static_cast<std::size_t>(y * glyph.width + x)];
                if (Opaque(pixel)) {
                    Set(gx + x, gy + y, flat ? *flat : pixel);
                }
            }
        }
    }

private:
    ImageData& m_strip;
    int m_left;
};

} // namespace

ArtResult MakeButtonStrip(const ImageData& glyph) {
    ArtResult result;
    if (glyph.width != kGlyphSize || glyph.height != kGlyphSize ||
        glyph.pixels.size() != static_cast<std::size_t>(kGlyphSize * kGlyphSize)) {
        result.error = "glyph is " + std::to_string(glyph.width) + "x" +
                       std::to_string(glyph.height) + ", expected " + std::to_string(kGlyphSize) +
                       "x" + std::to_string(kGlyphSize);
        return result;
    }
    ImageData& strip = result.image;
    strip.width = BUTTON_FRAME_SIZE * BUTTON_FRAME_COUNT;
    strip.height = BUTTON_FRAME_SIZE;
    strip.pixels.assign(static_cast<std::size_t>(strip.width * strip.height), kFace);

    const int at = (BUTTON_FRAME_SIZE - kGlyphSize) / 2;

    FramePainter normal(strip, BUTTON_FRAME_NORMAL);
    normal.Face(kFace, kLight, kShadow);
    normal.Glyph(glyph, at, at);

    FramePainter hot(strip, BUTTON_FRAME_HOT);
    hot.Face(kFaceHot, kLight, kShadow);
    hot.Glyph(glyph, at, at);

    FramePainter pressed(strip, BUTTON_FRAME_PRESSED);
    pressed.Face(kFacePressed, kShadow, kLight);
    pressed.Glyph(glyph, at + 1, at + 1);

    FramePainter disabled(strip, BUTTON_FRAME_DISABLED);
    disabled.Face(kFace, kLight, kShadow);
    disabled.Glyph(glyph, at + 1, at + 1, kLight);
    disabled.Glyph(glyph, at, at, kGreyed);
    return result;
}

} // namespace kel::res
