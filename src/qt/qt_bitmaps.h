// The Qt images of the framework's bitmaps. Converting a picture on every blit cost more than
// drawing most of them, and scaling one on every blit more than copying it, so both are kept
// while the bitmap's picture is unchanged (its version tells) and used recently.
#pragma once

#include "platform/gdi.h"

#include <QImage>
#include <QRect>
#include <QSize>

namespace kel::qt {

struct BitmapImages {
    QImage plain; // ARGB32, as the picture is
    // The same pixels read as RGB32 when none is transparent, else null. The raster engine
    // copies and scales RGB32 on its fast paths, to the pixels it gives for the plain image
    // over the source; blending with an opacity or a raster operation it does its own way, so
    // those take the plain image.
    QImage opaque;
    // Opaque, and every row one colour (a gradient from top to bottom, as the materials'
    // backgrounds are): stretched to any width, each row is a run of that row's colour.
    bool uniformRows = false;
};

const BitmapImages& ImagesOf(const CBitmap& bitmap);

// The part `source` of an opaque bitmap scaled to `size` exactly as the raster engine scales it
// when drawing it into a rectangle of that size, so that drawing this unscaled gives the same
// pixels. Null when the bitmap has transparent pixels or the source is not inside it.
const QImage& ScaledImageOf(const CBitmap& bitmap, const QRect& source, const QSize& size);

} // namespace kel::qt
