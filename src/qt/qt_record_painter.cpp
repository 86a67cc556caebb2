#include "qt/qt_record_painter.h"

#include "qt/qt_bitmaps.h"
#include "qt/qt_dc.h"
#include "qt/qt_gdi_styles.h"
#include "qt/qt_kept_text.h"
#include "qt/qt_text.h"

#include <QPaintEngine>
#include <algorithm>
#include <span>
#include <string_view>
#include <utility>

using kel::platform::DrawRecord;

namespace kel::qt {

RecordPainter::Op RecordPainter::OpOf(const std::string& name) {
    // Asked once per record: each test of a record's kind used to compare its name.
    static constexpr std::pair<std::string_view, Op> kOps[] = {
        {"FillSolidRect", Op::FillSolidRect},
        {"FillRect", Op::FillRect},
        {"FrameRect", Op::FrameRect},
        {"Draw3dRect", Op::Draw3dRect},
        {"InvertRect", Op::InvertRect},
        {"PatBlt", Op::PatBlt},
        {"Rectangle", Op::Rectangle},
        {"Ellipse", Op::Ellipse},
        {"LineTo", Op::LineTo},
        {"TextOut", Op::TextOut},
        {"DrawText", Op::DrawText},
        {"BitBlt", Op::BitBlt},
        {"StretchBlt", Op::StretchBlt},
        {"DrawState", Op::DrawState},
    };
    for (const auto& [known, op] : kOps) {
        if (name == known) {
            return op;
        }
    }
    return Op::Other;
}

RecordPainter::RecordPainter(QImage& target, Fills fills)
    : m_target(target), m_imageRect(target.rect()), m_painter(&target), m_fills(fills) {
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_rasterOps = m_painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    // The painter holds the image now, so its pixels stay where they are.
    if (target.format() == QImage::Format_RGB32 ||
        target.format() == QImage::Format_ARGB32_Premultiplied) {
        m_pixels = target.bits();
        m_bytesPerLine = target.bytesPerLine();
    }
}

RecordPainter::~RecordPainter() {
    if (m_pending) {
        WritePendingFill();
    }
}

QRect RecordPainter::OpaqueCover(const DrawRecord& record) const {
    if (m_op == Op::FillSolidRect) {
        return Meet(ToQRect(record.rect), m_clip);
    }
    if (m_op == Op::LineTo) {
        // A one-pixel solid line across or down covers the pixels of its bounds.
        const bool straight = record.from.x == record.to.x || record.from.y == record.to.y;
        if (straight && record.from != record.to && record.pen.lopnStyle == PS_SOLID &&
            record.pen.lopnWidth.x <= 1 && record.rop2 == R2_COPYPEN) {
            return Meet(ToQRect(record.rect), m_clip);
        }
        return {};
    }
    if (IsPicture(m_op) && record.bitmap && record.rop == SRCCOPY &&
        !(m_op == Op::DrawState && (record.format & DSS_DISABLED))) {
        // An opaque picture drawn from inside itself covers its whole target.
        const QImage& image = m_images->opaque;
        const QRect source = ToQRect(record.srcRect);
        if (!image.isNull() && !source.isEmpty() && image.rect().contains(source)) {
            return Meet(ToQRect(record.rect), m_clip);
        }
    }
    return {};
}

QRect RecordPainter::Reach(const DrawRecord& record) const {
    const bool text = m_op == Op::DrawText || m_op == Op::TextOut;
    if (text && !(m_op == Op::DrawText && !(record.format & DT_NOCLIP))) {
        return m_clip; // glyphs may reach past the cell they are measured in
    }
    const int w = std::max<int>(1, record.pen.lopnWidth.x);
    return Meet(ToQRect(record.rect).adjusted(-w, -w, w, w), m_clip);
}

bool RecordPainter::StartsPendingFill(const DrawRecord& record) {
    // Below this, waiting costs more than the pixels it may save.
    constexpr qint64 kLargeFill = 16 * 1024;
    if (m_fills != Fills::Deferred || m_pending || !m_pixels || m_op != Op::FillSolidRect) {
        return false;
    }
    const QRect area = Meet(Meet(ToQRect(record.rect), m_clip), m_imageRect);
    if (qint64(area.width()) * area.height() < kLargeFill) {
        return false;
    }
    m_pending.emplace(area, ToQColor(record.color).rgb());
    return true;
}

void RecordPainter::WritePendingFill() {
    const PendingFill fill = std::move(*m_pending);
    m_pending.reset();
    fill.ForEachUncovered([&](const QRect& gap) { WritePixels(gap, fill.Pixel()); });
}

void RecordPainter::Fill(const QRect& area, const QColor& color) {
    const QRect r = Meet(area, m_clip);
    if (r.isEmpty()) {
        return;
    }
    // An opaque colour only replaces pixels: written straight into the image, a fill of a
    // line or a thin frame costs its pixels rather than the engine's setting up.
    if (color.alpha() == 255 && WritesPixels()) {
        WritePixels(r, color.rgb());
        return;
    }
    UnclipPainterFor(r);
    m_painter.fillRect(r, color);
}

void RecordPainter::Fill(const QRect& area, COLORREF color) {
    if (WritesPixels()) {
        WritePixels(Meet(area, m_clip), qRgb(GetRValue(color), GetGValue(color), GetBValue(color)));
        return;
    }
    Fill(area, ToQColor(color));
}

void RecordPainter::WritePixels(const QRect& area, QRgb pixel) {
    const QRect inside = Meet(area, m_imageRect);
    if (inside.width() == 1) {
        // A frame's side or a line down: one pixel a row, where a row fill's setting up would
        // cost more than the pixel.
        uchar* at = m_pixels + inside.top() * m_bytesPerLine + inside.left() * 4;
        for (int y = inside.top(); y <= inside.bottom(); ++y, at += m_bytesPerLine) {
            *reinterpret_cast<QRgb*>(at) = pixel;
        }
        return;
    }
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(m_pixels + y * m_bytesPerLine);
        std::fill_n(line + inside.left(), inside.width(), pixel);
    }
}

void RecordPainter::Fill(const QRect& area, const QBrush& brush) {
    const QRect r = Meet(area, m_clip);
    if (r.isEmpty()) {
        return;
    }
    UnclipPainterFor(r);
    m_painter.fillRect(r, brush);
}

void RecordPainter::UnclipPainterFor(const QRect& area) {
    if (m_painterClipOn && !Holds(m_painterClip, area)) {
        m_painter.setClipping(false);
        m_painterClipOn = false;
    }
}

void RecordPainter::ClipPainter(const QRect& clip) {
    // Qt sets up a clip rect's lines anew for each rect it is given; one switched off and on
    // again keeps them.
    if (clip == m_painterClip) {
        if (!m_painterClipOn) {
            m_painter.setClipping(true);
            m_painterClipOn = true;
        }
        return;
    }
    m_painter.setClipRect(clip);
    m_painterClip = clip;
    m_painterClipOn = true;
}

void RecordPainter::SetMode(QPainter::CompositionMode mode) {
    if (mode != m_mode) {
        m_painter.setCompositionMode(mode);
        m_mode = mode;
    }
}

void RecordPainter::SetOpacity(qreal opacity) {
    if (opacity != m_opacity) {
        m_painter.setOpacity(opacity);
        m_opacity = opacity;
    }
}

void RecordPainter::FillWithBrush(const QRect& r, const LOGBRUSH& brush) {
    if (r.isEmpty() || brush.lbStyle == BS_NULL) {
        return;
    }
    if (brush.lbStyle == BS_HATCHED) {
        if (m_record->bkMode == OPAQUE) {
            Fill(r, ToQColor(m_record->bkColor));
        }
        Fill(r, QBrush(ToQColor(brush.lbColor), HatchStyle(brush.lbHatch)));
        return;
    }
    Fill(r, ToQColor(brush.lbColor));
}

// A horizontal or vertical run of pixels from `from` (included) along one axis, `length`
// pixels long, `width` thick, in the pen's pattern. Gaps show the background colour when the
// background is opaque.
void RecordPainter::Run(QPoint from, bool horizontal, int length, int step, const LOGPEN& pen,
                        const QColor& color) {
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
    const std::span<const int> dashes = DashPattern(pen.lopnStyle);
    if (dashes.empty()) {
        Fill(pixels(0, length), color);
        return;
    }
    int pos = 0;
    for (std::size_t i = 0; pos < length; i = (i + 1) % dashes.size()) {
        const int count = std::min(dashes[i], length - pos);
        if (i % 2 == 0) {
            Fill(pixels(pos, count), color);
        } else if (m_record->bkMode == OPAQUE) {
            Fill(pixels(pos, count), ToQColor(m_record->bkColor));
        }
        pos += count;
    }
}

void RecordPainter::Line(QPoint a, QPoint b, const LOGPEN& pen, const QColor& color) {
    if (pen.lopnStyle == PS_NULL || a == b) {
        return;
    }
    if (a.y() == b.y() || a.x() == b.x()) {
        // The end point is never drawn.
        const bool horizontal = a.y() == b.y();
        const int delta = horizontal ? b.x() - a.x() : b.y() - a.y();
        Run(a, horizontal, std::abs(delta), delta > 0 ? 1 : -1, pen, color);
        return;
    }
    QPen qpen(color);
    qpen.setWidth(pen.lopnWidth.x > 1 ? pen.lopnWidth.x : 0);
    qpen.setCapStyle(Qt::FlatCap);
    const std::span<const int> dashes = DashPattern(pen.lopnStyle);
    if (!dashes.empty()) {
        qpen.setDashPattern(QList<qreal>(dashes.begin(), dashes.end()));
    }
    ClipPainter(m_clip);
    m_painter.setPen(qpen);
    m_painter.drawLine(a, b);
}

void RecordPainter::Rectangle(const QColor& penColor) {
    const CRect& r = m_record->rect;
    if (r.IsRectEmpty()) {
        return;
    }
    const LOGPEN& pen = m_record->pen;
    CRect inside(r.left, r.top, r.right - 1, r.bottom - 1); // the null pen's smaller fill
    if (pen.lopnStyle != PS_NULL) {
        const int w = std::max<int>(1, pen.lopnWidth.x);
        inside = CRect(r.left + w, r.top + w, r.right - w, r.bottom - w);
    }
    if (!inside.IsRectEmpty()) {
        FillWithBrush(ToQRect(inside), m_record->brush);
    }
    if (pen.lopnStyle == PS_NULL) {
        return;
    }
    LOGPEN edge = pen;
    const int w = std::max<int>(1, edge.lopnWidth.x);
    edge.lopnWidth.x = 1;
    for (int i = 0; i < w; ++i) {
        const int l = r.left + i;
        const int t = r.top + i;
        const int rr = r.right - 1 - i;
        const int b = r.bottom - 1 - i;
        if (l > rr || t > b) {
            break;
        }
        Run(QPoint(l, t), true, rr - l + 1, 1, edge, penColor);
        Run(QPoint(l, b), true, rr - l + 1, 1, edge, penColor);
        Run(QPoint(l, t + 1), false, b - t - 1, 1, edge, penColor);
        Run(QPoint(rr, t + 1), false, b - t - 1, 1, edge, penColor);
    }
}

// Text with its top left at (x, top); the opaque background covers the text's cell.
void RecordPainter::TextLine(FontFace& face, int x, int top, const std::string& text) {
    const QFontMetrics& metrics = face.Metrics();
    if (m_record->bkMode == OPAQUE) {
        Fill(QRect(x, top, face.Width(text), metrics.height()), ToQColor(m_record->bkColor));
    }
    const QPoint baseline(x, top + metrics.ascent());
    const QColor color = ToQColor(m_record->textColor);
    auto draw = [&] {
        ClipPainter(m_clip);
        m_painter.setPen(color);
        face.Draw(m_painter, baseline, text);
    };
    const QRect reach = face.Reach(text);
    if (reach.isNull() || !m_pixels || m_target.format() != QImage::Format_RGB32 ||
        m_mode != QPainter::CompositionMode_SourceOver || m_opacity != 1.0) {
        draw();
        return;
    }
    DrawKeptText({m_pixels, m_bytesPerLine},
                 Meet(Meet(reach.translated(baseline), m_clip), m_imageRect), face, text,
                 color.rgb(), baseline, draw);
}

void RecordPainter::Text() {
    FontFace& face = FaceFor(m_record->font);
    if (!(m_record->format & DT_NOCLIP)) {
        m_clip &= ToQRect(m_record->rect);
        if (m_clip.isEmpty()) {
            return;
        }
    }
    const std::string& text = m_record->text.str();
    auto drawLine = [&](const std::string& line, int top) {
        const int width = face.Width(line);
        const CRect& rect = m_record->rect;
        int left = rect.left;
        if (m_record->format & DT_CENTER) {
            left = rect.left + (rect.Width() - width) / 2;
        } else if (m_record->format & DT_RIGHT) {
            left = rect.right - width;
        }
        TextLine(face, left, top, line);
    };
    int top = m_record->textRect.top;
    if (text.find('\n') == std::string::npos) {
        drawLine(text, top);
        return;
    }
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = text.find('\n', begin);
        drawLine(text.substr(begin, end == std::string::npos ? std::string::npos : end - begin),
                 top);
        if (end == std::string::npos) {
            break;
        }
        begin = end + 1;
        top += face.Metrics().height();
    }
}

void RecordPainter::PatBlt() {
    const QRect r = ToQRect(m_record->rect);
    switch (m_record->rop) {
    case BLACKNESS:
        Fill(r, QColor(Qt::black));
        break;
    case WHITENESS:
        Fill(r, QColor(Qt::white));
        break;
    case DSTINVERT:
        SetMode(QPainter::RasterOp_NotDestination);
        Fill(r, QColor(Qt::white));
        break;
    case PATINVERT:
        SetMode(QPainter::RasterOp_SourceXorDestination);
        FillWithBrush(r, m_record->brush);
        break;
    default:
        FillWithBrush(r, m_record->brush);
        break;
    }
}

void RecordPainter::Render(const DrawRecord& record) {
    if (!record.visible || record.clip.IsRectEmpty()) {
        return;
    }
    m_record = &record;
    m_op = OpOf(record.name);
    m_clip = ToQRect(record.clip);
    // Asked for by the waiting fill and by the drawing: looked up once.
    m_images = IsPicture(m_op) && record.bitmap ? &ImagesOf(*record.bitmap) : nullptr;
    if (m_pending) {
        // What covers part of the waiting fill is drawn over it; what would show the fill
        // below it first has the fill written.
        const QRect cover = OpaqueCover(record);
        if (!cover.isEmpty()) {
            m_pending->Cover(cover);
        } else {
            const QRect reach = Meet(Reach(record), m_pending->Area());
            if (!reach.isEmpty() && !m_pending->Covers(reach)) {
                WritePendingFill();
            }
        }
    }
    if (StartsPendingFill(record)) {
        m_record = nullptr;
        return;
    }
    SetMode(QPainter::CompositionMode_SourceOver);
    SetOpacity(1.0);
    const QRect r = ToQRect(record.rect);
    QColor penColor; // for the records drawn with the pen
    if (m_op == Op::Rectangle || m_op == Op::Ellipse || m_op == Op::LineTo) {
        penColor = ToQColor(record.pen.lopnColor);
    }
    switch (m_op) {
    case Op::FillSolidRect:
        Fill(r, record.color);
        break;
    case Op::FillRect:
        FillWithBrush(r, record.brush);
        break;
    case Op::FrameRect:
        if (r.width() > 0 && r.height() > 0) {
            const CRect& c = record.rect;
            for (const CRect& side : {CRect(c.left, c.top, c.right, c.top + 1),
                                      CRect(c.left, c.bottom - 1, c.right, c.bottom),
                                      CRect(c.left, c.top, c.left + 1, c.bottom),
                                      CRect(c.right - 1, c.top, c.right, c.bottom)}) {
                FillWithBrush(ToQRect(side), record.brush);
            }
        }
        break;
    case Op::Draw3dRect: {
        // The framework's four fills: top and left in the first colour, then right and
        // bottom in the second, which wins the corners it shares.
        const CRect& c = record.rect;
        const COLORREF tl = record.color;
        const COLORREF br = record.color2;
        Fill(ToQRect(CRect(c.left, c.top, c.right - 1, c.top + 1)), tl);
        Fill(ToQRect(CRect(c.left, c.top, c.left + 1, c.bottom - 1)), tl);
        Fill(ToQRect(CRect(c.right - 1, c.top, c.right, c.bottom)), br);
        Fill(ToQRect(CRect(c.left, c.bottom - 1, c.right, c.bottom)), br);
        break;
    }
    case Op::InvertRect:
        SetMode(QPainter::RasterOp_NotDestination);
        Fill(r, QColor(Qt::white));
        break;
    case Op::PatBlt:
        PatBlt();
        break;
    case Op::Rectangle:
        if (const auto mode = Rop2Mode(record.rop2, m_rasterOps, penColor)) {
            SetMode(*mode);
            Rectangle(penColor);
        }
        break;
    case Op::Ellipse:
        if (const auto mode = Rop2Mode(record.rop2, m_rasterOps, penColor)) {
            SetMode(*mode);
            ClipPainter(m_clip);
            m_painter.setPen(record.pen.lopnStyle == PS_NULL ? QPen(Qt::NoPen) : QPen(penColor));
            const LOGBRUSH& b = record.brush;
            m_painter.setBrush(b.lbStyle == BS_NULL ? QBrush(Qt::NoBrush)
                               : b.lbStyle == BS_HATCHED
                                   ? QBrush(ToQColor(b.lbColor), HatchStyle(b.lbHatch))
                                   : QBrush(ToQColor(b.lbColor)));
            m_painter.drawEllipse(r.adjusted(0, 0, -1, -1));
        }
        break;
    case Op::LineTo:
        if (const auto mode = Rop2Mode(record.rop2, m_rasterOps, penColor)) {
            SetMode(*mode);
            Line(QPoint(record.from.x, record.from.y), QPoint(record.to.x, record.to.y), record.pen,
                 penColor);
        }
        break;
    case Op::TextOut:
        TextLine(FaceFor(record.font), record.from.x, record.from.y, record.text.str());
        break;
    case Op::DrawText:
        Text();
        break;
    case Op::BitBlt:
    case Op::StretchBlt:
    case Op::DrawState:
        Bitmap();
        break;
    case Op::Other:
        break;
    }
    m_record = nullptr;
    m_images = nullptr;
}

} // namespace kel::qt
