// Texts drawn again over the pixels they were drawn over before.
//
// A repaint draws the labels of the one before over the same backgrounds, and blending a
// label's glyphs costs several times more than copying its pixels. So the pixels a text may
// change are kept as they were before it was drawn and after. Drawn again in the same font and
// colour, at the same place within the same pixels and cut by the clip in the same place, a
// text gives the same pixels (the raster engine's glyphs depend on nothing else: a whole-pixel
// move keeps where each glyph falls within its pixels), so the kept pixels are copied. Any
// other drawing is done by the engine and kept for the next time.
#pragma once

#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QtGlobal>
#include <functional>
#include <string>

namespace kel::qt {

class FontFace;

// Pixels of an image that holds each pixel as one QRgb.
struct PixelRows {
    uchar* bits = nullptr;
    qsizetype bytesPerLine = 0;
};

// Draws `text` with `draw`, or copies what it gave before. `area` is every pixel the drawing
// may change (inside the image); `baseline` the left end of the text's baseline, where `draw`
// puts it in `color`, over a transparent background, cut by a clip that holds `area`.
void DrawKeptText(PixelRows pixels, const QRect& area, const FontFace& face,
                  const std::string& text, QRgb color, QPoint baseline,
                  const std::function<void()>& draw);

} // namespace kel::qt
