// Rectangles as the drawing code meets them by the thousand in a paint: the framework's turned
// into Qt's, and QRect's intersection and containment written out where both rectangles have
// a positive size (Qt's own are calls into the library). Other rectangles follow Qt's rules.
#pragma once

#include "platform/geometry.h"

#include <QRect>
#include <algorithm>

namespace kel::qt {

inline QRect ToQRect(const CRect& rect) {
    return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

inline bool HasArea(const QRect& r) {
    return r.width() > 0 && r.height() > 0;
}

// a & b.
inline QRect Meet(const QRect& a, const QRect& b) {
    if (!HasArea(a) || !HasArea(b)) {
        return a & b;
    }
    const int left = std::max(a.left(), b.left());
    const int top = std::max(a.top(), b.top());
    const int right = std::min(a.right(), b.right());
    const int bottom = std::min(a.bottom(), b.bottom());
    if (left > right || top > bottom) {
        return QRect();
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// outer.contains(inner).
inline bool Holds(const QRect& outer, const QRect& inner) {
    if (!HasArea(outer) || !HasArea(inner)) {
        return outer.contains(inner);
    }
    return inner.left() >= outer.left() && inner.right() <= outer.right() &&
           inner.top() >= outer.top() && inner.bottom() <= outer.bottom();
}

} // namespace kel::qt
