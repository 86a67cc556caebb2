// Pictures drawn from the records: bitmaps blitted, stretched and drawn disabled, with the
// copies the raster engine would make written straight into the image.
#include "qt/qt_bitmaps.h"
#include "qt/qt_dc.h"
#include "qt/qt_record_painter.h"

#include <algorithm>
#include <cstring>

namespace kel::qt {

void RecordPainter::Bitmap() {
    if (!m_record->bitmap) {
        if (m_record->rop == BLACKNESS || m_record->rop == WHITENESS) {
            Fill(ToQRect(m_record->rect),
                 QColor(m_record->rop == BLACKNESS ? Qt::black : Qt::white));
        }
        return;
    }
    const BitmapImages& images = *m_images;
    if (images.plain.isNull()) {
        return;
    }
    switch (m_record->rop) {
    case SRCINVERT:
        SetMode(QPainter::RasterOp_SourceXorDestination);
        break;
    case SRCAND:
        SetMode(QPainter::RasterOp_SourceAndDestination);
        break;
    case SRCPAINT:
        SetMode(QPainter::RasterOp_SourceOrDestination);
        break;
    default:
        // Pictures with transparent parts let what lies below show through.
        break;
    }
    if (m_op == Op::DrawState && (m_record->format & DSS_DISABLED)) {
        SetOpacity(0.45);
    }
    const bool plainBlend = m_mode != QPainter::CompositionMode_SourceOver || m_opacity != 1.0;
    const QImage& image = images.opaque.isNull() || plainBlend ? images.plain : images.opaque;
    const QRect target = ToQRect(m_record->rect);
    const QRect source = ToQRect(m_record->srcRect);
    if (!plainBlend && images.uniformRows && m_pixels &&
        m_target.format() == QImage::Format_RGB32) {
        // Only the rows are scaled: each row of the target is then one colour.
        const QImage& column = ScaledImageOf(*m_record->bitmap, source, QSize(1, target.height()));
        const QRect area = Meet(Meet(target, m_clip), m_imageRect);
        if (!column.isNull()) {
            // The column's image holds a pixel as one QRgb, as the target does.
            const uchar* first = column.constBits();
            const qsizetype stride = column.bytesPerLine();
            for (int y = area.top(); y <= area.bottom(); ++y) {
                const QRgb pixel = 0xff000000u | *reinterpret_cast<const QRgb*>(
                                                     first + (y - target.top()) * stride);
                QRgb* line = reinterpret_cast<QRgb*>(m_pixels + y * m_bytesPerLine);
                std::fill_n(line + area.left(), area.width(), pixel);
            }
            return;
        }
    }
    if (!plainBlend && !images.opaque.isNull()) {
        // An opaque picture replaces the pixels below it: scaled once for its size, it is then
        // copied, which is most of the materials in a repaint.
        const QImage& scaled = source.size() == target.size()
                                   ? images.opaque
                                   : ScaledImageOf(*m_record->bitmap, source, target.size());
        if (!scaled.isNull()) {
            const QPoint from = source.size() == target.size() ? source.topLeft() : QPoint();
            CopyOpaque(scaled, from, target);
            return;
        }
    }
    if (Holds(m_clip, target)) {
        UnclipPainterFor(target); // nothing of it is to be cut off
    } else {
        ClipPainter(m_clip);
    }
    m_painter.drawImage(target, image, source);
}

void RecordPainter::CopyOpaque(const QImage& image, QPoint from, const QRect& target) {
    if (!m_pixels || m_target.format() != QImage::Format_RGB32) {
        const QRect source(from, target.size());
        if (Holds(m_clip, target)) {
            UnclipPainterFor(target);
        } else {
            ClipPainter(m_clip);
        }
        m_painter.drawImage(target, image, source);
        return;
    }
    // Row by row into the image: the engine would do the same, after setting up more than a
    // material's copy costs.
    const QRect area =
        Meet(Meet(Meet(target, m_clip), m_imageRect), QRect(target.topLeft() - from, image.size()));
    if (area.isEmpty()) {
        return;
    }
    const QPoint offset = from - target.topLeft(); // from target to image coordinates
    const std::size_t bytes = std::size_t(area.width()) * sizeof(QRgb);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* line = image.constScanLine(y + offset.y()) + (area.left() + offset.x()) * 4;
        std::memcpy(m_pixels + y * m_bytesPerLine + area.left() * 4, line, bytes);
    }
}

} // namespace kel::qt
