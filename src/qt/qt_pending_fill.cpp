#include "qt/qt_pending_fill.h"

#include "qt/qt_rects.h"

#include <algorithm>

namespace kel::qt {

void PendingFill::Cover(const QRect& cover) {
    const QRect part = Meet(cover, m_area);
    if (!part.isEmpty() && !Covers(part)) {
        m_covers.push_back(part);
    }
}

bool PendingFill::Covers(const QRect& rect) const {
    const std::size_t recent = std::min(m_covers.size(), kRecentCovers);
    return std::any_of(m_covers.end() - static_cast<std::ptrdiff_t>(recent), m_covers.end(),
                       [&](const QRect& cover) { return Holds(cover, rect); });
}

void PendingFill::ForEachUncovered(const std::function<void(const QRect&)>& fill) const {
    // Band by band from the top, where a band ends at every top and bottom of a cover: within
    // a band the same covers span every row, and the gaps between them get the fill.
    std::vector<QRect> covers = m_covers;
    std::sort(covers.begin(), covers.end(),
              [](const QRect& a, const QRect& b) { return a.top() < b.top(); });
    std::vector<int> edges{m_area.top(), m_area.bottom() + 1};
    for (const QRect& cover : covers) {
        edges.push_back(cover.top());
        edges.push_back(cover.bottom() + 1);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    std::vector<QRect> spanning;
    std::size_t next = 0;
    for (std::size_t i = 0; i + 1 < edges.size(); ++i) {
        const int top = edges[i];
        const int bottom = edges[i + 1] - 1;
        std::erase_if(spanning, [&](const QRect& cover) { return cover.bottom() < top; });
        while (next < covers.size() && covers[next].top() <= top) {
            spanning.push_back(covers[next++]);
        }
        std::sort(spanning.begin(), spanning.end(),
                  [](const QRect& a, const QRect& b) { return a.left() < b.left(); });
        int x = m_area.left();
        for (const QRect& cover : spanning) {
            if (cover.left() > x) {
                fill(QRect(QPoint(x, top), QPoint(cover.left() - 1, bottom)));
            }
            x = std::max(x, cover.right() + 1);
        }
        if (x <= m_area.right()) {
            fill(QRect(QPoint(x, top), QPoint(m_area.right(), bottom)));
        }
    }
}

} // namespace kel::qt
