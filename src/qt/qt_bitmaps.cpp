#include "qt/qt_bitmaps.h"

#include "qt/qt_dc.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace kel::qt {

const BitmapImages& ImagesOf(const CBitmap& bitmap) {
    struct Kept {
        std::uint64_t version = 0;
        BitmapImages images;
    };
    // Keyed by the bitmap, so that a picture made afresh at every paint (a thumbnail, say)
    // takes the place of its predecessor; the bounds only matter for bitmaps that went.
    static std::unordered_map<const CBitmap*, Kept> kept;
    static qsizetype keptBytes = 0;
    constexpr std::size_t kBitmaps = 256;
    constexpr qsizetype kBytes = qsizetype(64) << 20;
    auto it = kept.find(&bitmap);
    if (it != kept.end() && it->second.version == bitmap.GetVersion()) {
        return it->second.images;
    }
    const ImageData& data = bitmap.GetImage();
    const qsizetype bytes = qsizetype(data.pixels.size()) * 4;
    if (it == kept.end() || keptBytes + bytes > kBytes) {
        if (kept.size() >= kBitmaps || keptBytes + bytes > kBytes) {
            kept.clear();
            keptBytes = 0;
        }
        it = kept.try_emplace(&bitmap).first;
    }
    keptBytes -= it->second.images.plain.sizeInBytes();
    Kept fresh{bitmap.GetVersion(), {ToQImage(data), QImage()}};
    const QImage& plain = fresh.images.plain;
    keptBytes += plain.sizeInBytes();
    const bool opaque = std::all_of(data.pixels.begin(), data.pixels.end(),
                                    [](std::uint32_t argb) { return (argb >> 24) == 0xFF; });
    if (opaque && !plain.isNull()) {
        // A view of the plain image's pixels, which stay where they are while it is kept.
        fresh.images.opaque = QImage(plain.constBits(), plain.width(), plain.height(),
                                     plain.bytesPerLine(), QImage::Format_RGB32);
    }
    it->second = std::move(fresh);
    return it->second.images;
}

} // namespace kel::qt
