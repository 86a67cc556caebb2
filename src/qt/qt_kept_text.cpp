#include "qt/qt_kept_text.h"

#include "platform/lru_cache.h"

#include <QSize>
#include <cstddef>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

namespace kel::qt {

namespace {

struct Key {
    const FontFace* face; // faces live as long as their thread
    std::string text;
    QRgb color;
    QPoint baseline; // within the area
    QSize size;
    bool operator==(const Key&) const = default;
};

struct KeyHash {
    std::size_t operator()(const Key& key) const {
        std::size_t hash = std::hash<std::string>()(key.text);
        for (const std::size_t part :
             {std::hash<const void*>()(key.face), std::size_t(key.color),
              std::size_t(key.baseline.x()), std::size_t(key.baseline.y()),
              std::size_t(key.size.width()), std::size_t(key.size.height())}) {
            hash = hash * 1000003u ^ part;
        }
        return hash;
    }
};

struct Drawn {
    std::vector<QRgb> before;
    std::vector<QRgb> after;
};

QRgb* Row(PixelRows pixels, const QRect& area, int row) {
    return reinterpret_cast<QRgb*>(pixels.bits + (area.top() + row) * pixels.bytesPerLine) +
           area.left();
}

std::vector<QRgb> Read(PixelRows pixels, const QRect& area) {
    std::vector<QRgb> out(std::size_t(area.width()) * area.height());
    for (int row = 0; row < area.height(); ++row) {
        std::memcpy(out.data() + std::size_t(row) * area.width(), Row(pixels, area, row),
                    std::size_t(area.width()) * sizeof(QRgb));
    }
    return out;
}

bool Holds(PixelRows pixels, const QRect& area, const std::vector<QRgb>& picture) {
    for (int row = 0; row < area.height(); ++row) {
        if (std::memcmp(picture.data() + std::size_t(row) * area.width(), Row(pixels, area, row),
                        std::size_t(area.width()) * sizeof(QRgb)) != 0) {
            return false;
        }
    }
    return true;
}

void Write(PixelRows pixels, const QRect& area, const std::vector<QRgb>& picture) {
    for (int row = 0; row < area.height(); ++row) {
        std::memcpy(Row(pixels, area, row), picture.data() + std::size_t(row) * area.width(),
                    std::size_t(area.width()) * sizeof(QRgb));
    }
}

} // namespace

void DrawKeptText(PixelRows pixels, const QRect& area, const FontFace& face,
                  const std::string& text, QRgb color, QPoint baseline,
                  const std::function<void()>& draw) {
    // A screen's labels several times over: a zoom or a scroll brings new ones, and the ones
    // used longest ago go first.
    thread_local LruCache<Key, Drawn, KeyHash> kept(8192, std::size_t(32) << 20);
    if (area.isEmpty()) {
        draw();
        return;
    }
    Key key{&face, text, color, baseline - area.topLeft(), area.size()};
    if (const Drawn* drawn = kept.Find(key); drawn && Holds(pixels, area, drawn->before)) {
        Write(pixels, area, drawn->after);
        return;
    }
    Drawn fresh{Read(pixels, area), {}};
    draw();
    fresh.after = Read(pixels, area);
    const std::size_t bytes = (fresh.before.size() + fresh.after.size()) * sizeof(QRgb);
    kept.Insert(std::move(key), std::move(fresh), bytes);
}

} // namespace kel::qt
