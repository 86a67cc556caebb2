#include "qt/qt_dc.h"

#include <algorithm>
#include <map>
#include <utility>

using kel::platform::DrawRecord;

namespace kel::qt {

QColor ToQColor(COLORREF color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

CRect FromQRect(const QRect& rect) {
    return CRect(rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height());
}

QImage ToQImage(const ImageData& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() < static_cast<std::size_t>(image.width) * image.height) {
        return QImage();
    }
    QImage out(image.width, image.height, QImage::Format_ARGB32);
    for (int y = 0; y < image.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        std::copy_n(image.pixels.data() + static_cast<std::size_t>(y) * image.width, image.width,
                    line);
    }
    return out;
}

} // namespace kel::qt

CQtDC::CQtDC(std::shared_ptr<QImage> surface, const CRect& client, const CRect& paintClip,
             DrawnCallback drawn, kel::qt::RecordPainter::Fills fills)
    : m_surface(std::move(surface)), m_drawn(std::move(drawn)), m_fills(fills) {
    SetDeviceBounds(client & paintClip);
}

namespace {

// Which DC holds the painter of each surface.
std::map<const QImage*, CQtDC*>& Painting() {
    static std::map<const QImage*, CQtDC*> painting;
    return painting;
}

} // namespace

CQtDC::~CQtDC() {
    EndPainting();
}

kel::qt::RecordPainter& CQtDC::Painter() {
    if (!m_painter) {
        CQtDC*& holder = Painting()[m_surface.get()];
        if (holder && holder != this)
            holder->EndPainting();
        holder = this;
        m_painter = std::make_unique<kel::qt::RecordPainter>(*m_surface, m_fills);
    }
    return *m_painter;
}

void CQtDC::EndPainting() {
    if (!m_painter)
        return;
    m_painter.reset();
    Painting().erase(m_surface.get());
}

void CQtDC::Render(const DrawRecord& record) {
    if (!m_surface || m_surface->isNull() || !record.visible) {
        return;
    }
    Painter().Render(record);
    if (m_drawn) {
        CRect changed = record.Is("DrawText") || record.Is("TextOut")
                            ? (record.textRect | record.rect)
                            : record.rect;
        // Wide pens reach past the bounds of what they outline.
        changed.InflateRect(record.pen.lopnWidth.x, record.pen.lopnWidth.x);
        changed &= record.clip;
        if (!changed.IsRectEmpty()) {
            m_drawn(changed);
        }
    }
}
