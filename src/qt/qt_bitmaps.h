// The Qt images of the framework's bitmaps. Converting a picture on every blit cost more than
// drawing most of them, so each bitmap's images are kept until its picture changes (its
// version tells).
#pragma once

#include "platform/gdi.h"

#include <QImage>

namespace kel::qt {

struct BitmapImages {
    QImage plain; // ARGB32, as the picture is
    // The same pixels read as RGB32 when none is transparent, else null. The raster engine
    // copies and scales RGB32 on its fast paths, to the pixels it gives for the plain image
    // over the source; blending with an opacity or a raster operation it does its own way, so
    // those take the plain image.
    QImage opaque;
};

const BitmapImages& ImagesOf(const CBitmap& bitmap);

} // namespace kel::qt
