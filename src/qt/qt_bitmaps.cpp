#include "qt/qt_bitmaps.h"

#include "qt/qt_dc.h"

#include "platform/lru_cache.h"

#include <QPainter>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <tuple>
#include <utility>

namespace kel::qt {

namespace {

// Each bitmap's picture has a version of its own, so the version alone names the picture.
using Version = std::uint64_t;

std::size_t BytesOf(const QImage& image) {
    return static_cast<std::size_t>(std::max<qsizetype>(image.sizeInBytes(), 0));
}

struct ScaledKey {
    Version version;
    QRect source;
    QSize size;
    bool operator==(const ScaledKey&) const = default;
};

struct ScaledKeyHash {
    std::size_t operator()(const ScaledKey& key) const {
        std::size_t hash = std::hash<Version>()(key.version);
        for (const int part : {key.source.x(), key.source.y(), key.source.width(),
                               key.source.height(), key.size.width(), key.size.height()}) {
            hash = hash * 1000003u ^ std::hash<int>()(part);
        }
        return hash;
    }
};

} // namespace

const BitmapImages& ImagesOf(const CBitmap& bitmap) {
    // A timeline's thumbnails and the few pictures of its materials and controls; a picture
    // made afresh at every paint lets the older ones go first.
    thread_local LruCache<Version, BitmapImages> kept(4096, std::size_t(96) << 20);
    if (BitmapImages* images = kept.Find(bitmap.GetVersion())) {
        return *images;
    }
    const ImageData& data = bitmap.GetImage();
    BitmapImages fresh{ToQImage(data), QImage()};
    const QImage& plain = fresh.plain;
    const bool opaque = std::all_of(data.pixels.begin(), data.pixels.end(),
                                    [](std::uint32_t argb) { return (argb >> 24) == 0xFF; });
    if (opaque && !plain.isNull()) {
        // A view of the plain image's pixels, which stay where they are while it is kept:
        // QImage shares them between copies, and moving the pair moves no pixel.
        fresh.opaque = QImage(plain.constBits(), plain.width(), plain.height(),
                              plain.bytesPerLine(), QImage::Format_RGB32);
    }
    if (opaque && data.width > 0) {
        fresh.uniformRows = true;
        for (int y = 0; y < data.height && fresh.uniformRows; ++y) {
            const auto row = data.pixels.begin() + std::ptrdiff_t(y) * data.width;
            fresh.uniformRows = std::all_of(row, row + data.width,
                                            [&](std::uint32_t argb) { return argb == *row; });
        }
    }
    const std::size_t bytes = BytesOf(plain);
    return kept.Insert(bitmap.GetVersion(), std::move(fresh), bytes);
}

const QImage& ScaledImageOf(const CBitmap& bitmap, const QRect& source, const QSize& size) {
    static const QImage none;
    // A screen of materials at one zoom uses a few hundred sizes; a zoom step asks for new ones.
    thread_local LruCache<ScaledKey, QImage, ScaledKeyHash> kept(2048, std::size_t(48) << 20);
    const ScaledKey key{bitmap.GetVersion(), source, size};
    if (QImage* scaled = kept.Find(key)) {
        return *scaled;
    }
    const QImage& opaque = ImagesOf(bitmap).opaque;
    if (opaque.isNull() || source.isEmpty() || size.isEmpty() || !opaque.rect().contains(source)) {
        return none;
    }
    QImage scaled(size, QImage::Format_RGB32);
    {
        // The engine that draws the bitmap scales it: its sampling depends only on where a
        // pixel lies in the target rectangle, so drawing the result anywhere matches.
        QPainter painter(&scaled);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QRect(QPoint(0, 0), size), opaque, source);
    }
    const std::size_t bytes = BytesOf(scaled);
    return kept.Insert(key, std::move(scaled), bytes);
}

} // namespace kel::qt
