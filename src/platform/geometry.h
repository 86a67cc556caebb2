// CPoint, CSize and CRect with Win32 semantics: a rectangle holds its left and top edges and
// excludes its right and bottom edges; an empty rectangle has no width or no height.
#pragma once

#include "platform/win_types.h"

#include <algorithm>

struct CSize {
    int cx = 0;
    int cy = 0;

    constexpr CSize() = default;
    constexpr CSize(int w, int h) : cx(w), cy(h) {}
    constexpr bool operator==(const CSize&) const = default;
};

struct CPoint {
    int x = 0;
    int y = 0;

    constexpr CPoint() = default;
    constexpr CPoint(int px, int py) : x(px), y(py) {}
    constexpr void Offset(int dx, int dy) {
        x += dx;
        y += dy;
    }
    constexpr void Offset(CSize s) { Offset(s.cx, s.cy); }
    constexpr bool operator==(const CPoint&) const = default;
    constexpr CPoint operator+(CSize s) const { return {x + s.cx, y + s.cy}; }
    constexpr CPoint operator-(CSize s) const { return {x - s.cx, y - s.cy}; }
    constexpr CSize operator-(CPoint p) const { return {x - p.x, y - p.y}; }
    constexpr CPoint& operator+=(CSize s) {
        Offset(s);
        return *this;
    }
    constexpr CPoint& operator-=(CSize s) {
        Offset(-s.cx, -s.cy);
        return *this;
    }
};

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr CRect(CPoint topLeft, CSize size)
        : left(topLeft.x), top(topLeft.y), right(topLeft.x + size.cx),
          bottom(topLeft.y + size.cy) {}
    constexpr CRect(CPoint topLeft, CPoint bottomRight)
        : left(topLeft.x), top(topLeft.y), right(bottomRight.x), bottom(bottomRight.y) {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr CSize Size() const { return {Width(), Height()}; }
    constexpr CPoint TopLeft() const { return {left, top}; }
    constexpr CPoint BottomRight() const { return {right, bottom}; }
    constexpr CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }

    constexpr BOOL IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    constexpr BOOL PtInRect(CPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr BOOL EqualRect(const CRect& r) const { return *this == r; }

    constexpr void SetRect(int l, int t, int r, int b) {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    constexpr void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    constexpr void OffsetRect(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    constexpr void OffsetRect(CPoint p) { OffsetRect(p.x, p.y); }
    constexpr void OffsetRect(CSize s) { OffsetRect(s.cx, s.cy); }
    constexpr void InflateRect(int dx, int dy) {
        left -= dx;
        right += dx;
        top -= dy;
        bottom += dy;
    }
    constexpr void InflateRect(int l, int t, int r, int b) {
        left -= l;
        top -= t;
        right += r;
        bottom += b;
    }
    constexpr void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    constexpr void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
    constexpr void NormalizeRect() {
        if (left > right)
            std::swap(left, right);
        if (top > bottom)
            std::swap(top, bottom);
    }

    // Win32 IntersectRect: the overlap, or the null rectangle (and FALSE) when there is none.
    constexpr BOOL IntersectRect(const CRect& a, const CRect& b) {
        CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom));
        if (r.IsRectEmpty()) {
            SetRectEmpty();
            return FALSE;
        }
        *this = r;
        return TRUE;
    }
    // Win32 UnionRect: empty operands are ignored; two empty operands give the null rectangle.
    constexpr BOOL UnionRect(const CRect& a, const CRect& b) {
        if (a.IsRectEmpty() && b.IsRectEmpty()) {
            SetRectEmpty();
            return FALSE;
        }
        if (a.IsRectEmpty()) {
            *this = b;
            return TRUE;
        }
        if (b.IsRectEmpty()) {
            *this = a;
            return TRUE;
        }
        *this = CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                      std::max(a.bottom, b.bottom));
        return TRUE;
    }

    constexpr bool operator==(const CRect&) const = default;
    constexpr CRect operator&(const CRect& r) const {
        CRect out;
        out.IntersectRect(*this, r);
        return out;
    }
    constexpr CRect operator|(const CRect& r) const {
        CRect out;
        out.UnionRect(*this, r);
        return out;
    }
    constexpr CRect& operator&=(const CRect& r) { return *this = *this & r; }
    constexpr CRect& operator|=(const CRect& r) { return *this = *this | r; }
};
