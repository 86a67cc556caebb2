#include "qt/qt_dc.h"

#include <QPaintEngine>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <array>
#include <map>
#include <utility>
#include <vector>

using kel::platform::DrawRecord;

namespace kel::qt {

QColor ToQColor(COLORREF color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

QRect ToQRect(const CRect& rect) {
    return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

CRect FromQRect(const QRect& rect) {
    return CRect(rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height());
}

QFont ToQFont(const LOGFONT& font) {
    const QString face = QString::fromUtf8(font.lfFaceName.str()).toLower();
    QFont qfont;
    if (face.contains("courier") || face.contains("mono") || face.contains("fixed")) {
        qfont.setFamily("DejaVu Sans Mono");
        qfont.setStyleHint(QFont::Monospace);
    } else if (face.contains("times") || (face.contains("serif") && !face.contains("sans"))) {
        qfont.setFamily("DejaVu Serif");
        qfont.setStyleHint(QFont::Serif);
    } else {
        qfont.setFamily("DejaVu Sans");
        qfont.setStyleHint(QFont::SansSerif);
    }
    // A negative height is the character (em) height; a positive one the cell height, of
    // which the em takes about six sevenths in these families.
    int pixels = 12;
    if (font.lfHeight < 0) {
        pixels = -font.lfHeight;
    } else if (font.lfHeight > 0) {
        pixels = std::max(1, static_cast<int>(font.lfHeight) * 6 / 7);
    }
    qfont.setPixelSize(pixels);
    qfont.setBold(font.lfWeight >= 600);
    qfont.setItalic(font.lfItalic != 0);
    qfont.setUnderline(font.lfUnderline != 0);
    qfont.setKerning(false); // text is measured piece by piece and must add up
    return qfont;
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

namespace {

// The composition mode of a binary raster operation; false when nothing is to be drawn.
// `color` changes for the operations that ignore the pen's colour.
bool ApplyRop2(QPainter& painter, int rop2, QColor& color) {
    using M = QPainter::CompositionMode;
    M mode = QPainter::CompositionMode_SourceOver;
    switch (rop2) {
    case R2_NOP:
        return false;
    case R2_BLACK:
        color = Qt::black;
        break;
    case R2_WHITE:
        color = Qt::white;
        break;
    case R2_XORPEN:
        mode = QPainter::RasterOp_SourceXorDestination;
        break;
    case R2_NOTXORPEN:
        mode = QPainter::RasterOp_NotSourceXorDestination;
        break;
    case R2_NOT:
        mode = QPainter::RasterOp_NotDestination;
        break;
    case R2_MASKPEN:
        mode = QPainter::RasterOp_SourceAndDestination;
        break;
    case R2_MERGEPEN:
        mode = QPainter::RasterOp_SourceOrDestination;
        break;
    case R2_NOTCOPYPEN:
        mode = QPainter::RasterOp_NotSource;
        break;
    case R2_NOTMASKPEN:
        mode = QPainter::RasterOp_NotSourceOrNotDestination;
        break;
    case R2_NOTMERGEPEN:
        mode = QPainter::RasterOp_NotSourceAndNotDestination;
        break;
    case R2_MASKNOTPEN:
        mode = QPainter::RasterOp_NotSourceAndDestination;
        break;
    case R2_MASKPENNOT:
        mode = QPainter::RasterOp_SourceAndNotDestination;
        break;
    case R2_MERGENOTPEN:
        mode = QPainter::RasterOp_NotSourceOrDestination;
        break;
    case R2_MERGEPENNOT:
        mode = QPainter::RasterOp_SourceOrNotDestination;
        break;
    default:
        break;
    }
    if (mode >= QPainter::RasterOp_SourceOrDestination &&
        !painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes)) {
        // A device without raster operations still has to show feedback that a second
        // drawing takes away again: the difference with white inverts, and inverting twice
        // restores, which is what XOR feedback is used for.
        mode = QPainter::CompositionMode_Difference;
        if (rop2 == R2_NOT || rop2 == R2_XORPEN || rop2 == R2_NOTXORPEN) {
            color = Qt::white;
        }
    }
    painter.setCompositionMode(mode);
    return true;
}

Qt::BrushStyle HatchStyle(LONG hatch) {
    switch (hatch) {
    case HS_HORIZONTAL:
        return Qt::HorPattern;
    case HS_VERTICAL:
        return Qt::VerPattern;
    case HS_FDIAGONAL: // top left to bottom right
        return Qt::FDiagPattern;
    case HS_BDIAGONAL:
        return Qt::BDiagPattern;
    case HS_CROSS:
        return Qt::CrossPattern;
    default:
        return Qt::DiagCrossPattern;
    }
}

// Fills `r` with a framework brush. Hatches show the background colour between their lines
// in the opaque background mode, as on the desktop.
void FillWithBrush(QPainter& painter, const QRect& r, const LOGBRUSH& brush,
                   const DrawRecord& record) {
    if (r.isEmpty() || brush.lbStyle == BS_NULL) {
        return;
    }
    if (brush.lbStyle == BS_HATCHED) {
        if (record.bkMode == OPAQUE) {
            painter.fillRect(r, ToQColor(record.bkColor));
        }
        painter.fillRect(r, QBrush(ToQColor(brush.lbColor), HatchStyle(brush.lbHatch)));
        return;
    }
    painter.fillRect(r, ToQColor(brush.lbColor));
}

// On and off lengths of the cosmetic pen styles, in pixels, as the desktop draws them.
std::vector<int> DashPattern(UINT style) {
    switch (style) {
    case PS_DASH:
        return {18, 6};
    case PS_DOT:
        return {3, 3};
    case PS_DASHDOT:
        return {9, 6, 3, 6};
    case PS_DASHDOTDOT:
        return {9, 3, 3, 3, 3, 3};
    default:
        return {};
    }
}

// A horizontal or vertical run of pixels from `from` (included) along one axis, `length`
// pixels long, `width` thick, in the pen's pattern. Gaps show the background colour when the
// background is opaque.
void DrawRun(QPainter& painter, QPoint from, bool horizontal, int length, int step,
             const LOGPEN& pen, const QColor& color, const DrawRecord& record) {
    const int width = std::max<int>(1, pen.lopnWidth.x);
    const int offset = (width - 1) / 2;
    auto pixels = [&](int start, int count) {
        if (count <= 0) {
            return QRect();
        }
        // `start` counts along the run in the direction of `step`.
        const int a = step > 0 ? start : -(start + count - 1);
        return horizontal ? QRect(from.x() + a, from.y() - offset, count, width)
                          : QRect(from.x() - offset, from.y() + a, width, count);
    };
    const std::vector<int> dashes = DashPattern(pen.lopnStyle);
    if (dashes.empty()) {
        painter.fillRect(pixels(0, length), color);
        return;
    }
    int pos = 0;
    for (std::size_t i = 0; pos < length; i = (i + 1) % dashes.size()) {
        const int count = std::min(dashes[i], length - pos);
        if (i % 2 == 0) {
            painter.fillRect(pixels(pos, count), color);
        } else if (record.bkMode == OPAQUE) {
            painter.fillRect(pixels(pos, count), ToQColor(record.bkColor));
        }
        pos += count;
    }
}

void DrawLine(QPainter& painter, QPoint a, QPoint b, const LOGPEN& pen, QColor color,
              const DrawRecord& record) {
    if (pen.lopnStyle == PS_NULL || a == b) {
        return;
    }
    if (a.y() == b.y() || a.x() == b.x()) {
        // The end point is never drawn.
        const bool horizontal = a.y() == b.y();
        const int delta = horizontal ? b.x() - a.x() : b.y() - a.y();
        DrawRun(painter, a, horizontal, std::abs(delta), delta > 0 ? 1 : -1, pen, color, record);
        return;
    }
    QPen qpen(color);
    qpen.setWidth(pen.lopnWidth.x > 1 ? pen.lopnWidth.x : 0);
    qpen.setCapStyle(Qt::FlatCap);
    const std::vector<int> dashes = DashPattern(pen.lopnStyle);
    if (!dashes.empty()) {
        QList<qreal> pattern;
        for (int d : dashes) {
            pattern << d;
        }
        qpen.setDashPattern(pattern);
    }
    painter.setPen(qpen);
    painter.drawLine(a, b);
}

void DrawRectangle(QPainter& painter, const DrawRecord& record, QColor penColor) {
    const CRect& r = record.rect;
    if (r.IsRectEmpty()) {
        return;
    }
    CRect inside(r.left, r.top, r.right - 1, r.bottom - 1); // the null pen's smaller fill
    if (record.pen.lopnStyle != PS_NULL) {
        const int w = std::max<int>(1, record.pen.lopnWidth.x);
        inside = CRect(r.left + w, r.top + w, r.right - w, r.bottom - w);
    }
    if (!inside.IsRectEmpty()) {
        FillWithBrush(painter, ToQRect(inside), record.brush, record);
    }
    if (record.pen.lopnStyle == PS_NULL) {
        return;
    }
    LOGPEN pen = record.pen;
    const int w = std::max<int>(1, pen.lopnWidth.x);
    pen.lopnWidth.x = 1;
    for (int i = 0; i < w; ++i) {
        const int l = r.left + i;
        const int t = r.top + i;
        const int rr = r.right - 1 - i;
        const int b = r.bottom - 1 - i;
        if (l > rr || t > b) {
            break;
        }
        DrawRun(painter, QPoint(l, t), true, rr - l + 1, 1, pen, penColor, record);
        DrawRun(painter, QPoint(l, b), true, rr - l + 1, 1, pen, penColor, record);
        DrawRun(painter, QPoint(l, t + 1), false, b - t - 1, 1, pen, penColor, record);
        DrawRun(painter, QPoint(rr, t + 1), false, b - t - 1, 1, pen, penColor, record);
    }
}

// Text with its top left at (x, top); the opaque background covers the text's cell.
void DrawTextLine(QPainter& painter, const QFont& font, int x, int top, const QString& text,
                  const DrawRecord& record) {
    const QFontMetrics metrics(font);
    if (record.bkMode == OPAQUE) {
        painter.fillRect(QRect(x, top, metrics.horizontalAdvance(text), metrics.height()),
                         ToQColor(record.bkColor));
    }
    painter.setFont(font);
    painter.setPen(ToQColor(record.textColor));
    painter.drawText(QPoint(x, top + metrics.ascent()), text);
}

void DrawTextRecord(QPainter& painter, const DrawRecord& record) {
    const QFont font = ToQFont(record.font);
    const QFontMetrics metrics(font);
    if (!(record.format & DT_NOCLIP)) {
        painter.setClipRect(ToQRect(record.rect), Qt::IntersectClip);
    }
    const QStringList lines = QString::fromUtf8(record.text.str()).split('\n');
    int top = record.textRect.top;
    for (const QString& line : lines) {
        const int width = metrics.horizontalAdvance(line);
        int left = record.rect.left;
        if (record.format & DT_CENTER) {
            left = record.rect.left + (record.rect.Width() - width) / 2;
        } else if (record.format & DT_RIGHT) {
            left = record.rect.right - width;
        }
        DrawTextLine(painter, font, left, top, line, record);
        top += metrics.height();
    }
}

void DrawBitmap(QPainter& painter, const DrawRecord& record) {
    if (!record.bitmap) {
        if (record.rop == BLACKNESS || record.rop == WHITENESS) {
            painter.fillRect(ToQRect(record.rect), record.rop == BLACKNESS ? Qt::black : Qt::white);
        }
        return;
    }
    const QImage image = ToQImage(record.bitmap->GetImage());
    if (image.isNull()) {
        return;
    }
    switch (record.rop) {
    case SRCINVERT:
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    case SRCAND:
        painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        break;
    case SRCPAINT:
        painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        break;
    default:
        // Pictures with transparent parts let what lies below show through.
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    }
    if (record.Is("DrawState") && (record.format & DSS_DISABLED)) {
        painter.setOpacity(0.45);
    }
    painter.drawImage(ToQRect(record.rect), image, ToQRect(record.srcRect));
}

void PatBlt(QPainter& painter, const DrawRecord& record) {
    const QRect r = ToQRect(record.rect);
    switch (record.rop) {
    case BLACKNESS:
        painter.fillRect(r, Qt::black);
        break;
    case WHITENESS:
        painter.fillRect(r, Qt::white);
        break;
    case DSTINVERT:
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillRect(r, Qt::white);
        break;
    case PATINVERT:
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        FillWithBrush(painter, r, record.brush, record);
        break;
    default:
        FillWithBrush(painter, r, record.brush, record);
        break;
    }
}

} // namespace

void RenderRecord(QPainter& painter, const DrawRecord& record) {
    if (!record.visible || record.clip.IsRectEmpty()) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(ToQRect(record.clip));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QRect r = ToQRect(record.rect);
    QColor penColor = ToQColor(record.pen.lopnColor);
    const std::string& name = record.name;
    if (name == "FillSolidRect") {
        painter.fillRect(r, ToQColor(record.color));
    } else if (name == "FillRect") {
        FillWithBrush(painter, r, record.brush, record);
    } else if (name == "FrameRect") {
        if (r.width() > 0 && r.height() > 0) {
            const CRect& c = record.rect;
            for (const CRect& side : {CRect(c.left, c.top, c.right, c.top + 1),
                                      CRect(c.left, c.bottom - 1, c.right, c.bottom),
                                      CRect(c.left, c.top, c.left + 1, c.bottom),
                                      CRect(c.right - 1, c.top, c.right, c.bottom)}) {
                FillWithBrush(painter, ToQRect(side), record.brush, record);
            }
        }
    } else if (name == "Draw3dRect") {
        // The framework's four fills: top and left in the first colour, then right and
        // bottom in the second, which wins the corners it shares.
        const CRect& c = record.rect;
        const QColor tl = ToQColor(record.color);
        const QColor br = ToQColor(record.color2);
        painter.fillRect(ToQRect(CRect(c.left, c.top, c.right - 1, c.top + 1)), tl);
        painter.fillRect(ToQRect(CRect(c.left, c.top, c.left + 1, c.bottom - 1)), tl);
        painter.fillRect(ToQRect(CRect(c.right - 1, c.top, c.right, c.bottom)), br);
        painter.fillRect(ToQRect(CRect(c.left, c.bottom - 1, c.right, c.bottom)), br);
    } else if (name == "InvertRect") {
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillRect(r, Qt::white);
    } else if (name == "PatBlt") {
        PatBlt(painter, record);
    } else if (name == "Rectangle") {
        if (ApplyRop2(painter, record.rop2, penColor)) {
            DrawRectangle(painter, record, penColor);
        }
    } else if (name == "Ellipse") {
        if (ApplyRop2(painter, record.rop2, penColor)) {
            painter.setPen(record.pen.lopnStyle == PS_NULL ? QPen(Qt::NoPen) : QPen(penColor));
            const LOGBRUSH& b = record.brush;
            painter.setBrush(b.lbStyle == BS_NULL ? QBrush(Qt::NoBrush)
                             : b.lbStyle == BS_HATCHED
                                 ? QBrush(ToQColor(b.lbColor), HatchStyle(b.lbHatch))
                                 : QBrush(ToQColor(b.lbColor)));
            painter.drawEllipse(r.adjusted(0, 0, -1, -1));
        }
    } else if (name == "LineTo") {
        if (ApplyRop2(painter, record.rop2, penColor)) {
            DrawLine(painter, QPoint(record.from.x, record.from.y),
                     QPoint(record.to.x, record.to.y), record.pen, penColor, record);
        }
    } else if (name == "TextOut") {
        DrawTextLine(painter, ToQFont(record.font), record.from.x, record.from.y,
                     QString::fromUtf8(record.text.str()), record);
    } else if (name == "DrawText") {
        DrawTextRecord(painter, record);
    } else if (name == "BitBlt" || name == "StretchBlt" || name == "DrawState") {
        DrawBitmap(painter, record);
    }
    painter.restore();
}

} // namespace kel::qt

CQtDC::CQtDC(std::shared_ptr<QImage> surface, const CRect& client, const CRect& paintClip,
             DrawnCallback drawn)
    : m_surface(std::move(surface)), m_drawn(std::move(drawn)) {
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

QPainter& CQtDC::Painter() {
    if (!m_painter) {
        CQtDC*& holder = Painting()[m_surface.get()];
        if (holder && holder != this)
            holder->EndPainting();
        holder = this;
        m_painter = std::make_unique<QPainter>(m_surface.get());
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
    kel::qt::RenderRecord(Painter(), record);
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
