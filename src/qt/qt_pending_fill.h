// A large solid fill that waits for what is painted over it.
//
// A paint fills a region's background first and then mostly covers it: the materials cover
// most of the track rows. Writing the background and then the materials writes most pixels
// twice, and a 1920 x 1080 view is large enough for that to be a good part of a repaint. So a
// large fill waits; opaque drawing that follows is noted as covering parts of it, and when the
// fill is finally written (before anything that shows what lies below, or when the paint ends)
// only what is left uncovered gets its colour. The picture is the same.
#pragma once

#include <QRect>
#include <QRgb>
#include <cstddef>
#include <functional>
#include <vector>

namespace kel::qt {

class PendingFill {
public:
    PendingFill(const QRect& area, QRgb pixel) : m_area(area), m_pixel(pixel) {}

    const QRect& Area() const { return m_area; }
    QRgb Pixel() const { return m_pixel; }

    // `cover` was painted opaque over the area, replacing what the fill would have left there.
    void Cover(const QRect& cover);
    // Whether the covers noted last hold `rect` entirely. What is drawn inside a cover lands
    // on it, not on the fill, and comes right after it (a material's frame, icon and label
    // after its background), so only the latest few covers are asked.
    bool Covers(const QRect& rect) const;
    // Hands out rectangles that together make the area without the covers, each once.
    void ForEachUncovered(const std::function<void(const QRect&)>& fill) const;

private:
    static constexpr std::size_t kRecentCovers = 4;

    QRect m_area;
    QRgb m_pixel;
    std::vector<QRect> m_covers; // within the area
};

} // namespace kel::qt
