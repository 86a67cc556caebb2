#include "qt/qt_dc.h"

#include "qt/qt_text.h"

#include <QPaintEngine>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>

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

// The composition mode of a binary raster operation; none when nothing is to be drawn.
// `color` changes for the operations that ignore the pen's colour.
std::optional<QPainter::CompositionMode> Rop2Mode(int rop2, bool rasterOps, QColor& color) {
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (rop2) {
    case R2_NOP:
        return std::nullopt;
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
    if (mode >= QPainter::RasterOp_SourceOrDestination && !rasterOps) {
        // A device without raster operations still has to show feedback that a second
        // drawing takes away again: the difference with white inverts, and inverting twice
        // restores, which is what XOR feedback is used for.
        mode = QPainter::CompositionMode_Difference;
        if (rop2 == R2_NOT || rop2 == R2_XORPEN || rop2 == R2_NOTXORPEN) {
            color = Qt::white;
        }
    }
    return mode;
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

// On and off lengths of the cosmetic pen styles, in pixels, as the desktop draws them.
std::span<const int> DashPattern(UINT style) {
    static constexpr int kDash[] = {18, 6};
    static constexpr int kDot[] = {3, 3};
    static constexpr int kDashDot[] = {9, 6, 3, 6};
    static constexpr int kDashDotDot[] = {9, 3, 3, 3, 3, 3};
    switch (style) {
    case PS_DASH:
        return kDash;
    case PS_DOT:
        return kDot;
    case PS_DASHDOT:
        return kDashDot;
    case PS_DASHDOTDOT:
        return kDashDotDot;
    default:
        return {};
    }
}

// The Qt image of a bitmap. Converting the picture on every blit cost more than drawing most
// of them, so each bitmap's image is kept until its picture changes. An opaque picture becomes
// an RGB32 image, which the raster engine scales and copies on its fast paths to the same
// pixels; one with transparent parts stays as it is.
const QImage& ImageOf(const CBitmap& bitmap) {
    struct Kept {
        std::uint64_t version = 0;
        QImage image;
    };
    // Keyed by the bitmap, so that a picture made afresh at every paint (a thumbnail, say)
    // takes the place of its predecessor; the bound only matters for bitmaps that went.
    static std::unordered_map<const CBitmap*, Kept> kept;
    constexpr std::size_t kBound = 256;
    auto it = kept.find(&bitmap);
    if (it != kept.end() && it->second.version == bitmap.GetVersion())
        return it->second.image;
    if (it == kept.end()) {
        if (kept.size() >= kBound)
            kept.clear();
        it = kept.emplace(&bitmap, Kept{}).first;
    }
    const ImageData& data = bitmap.GetImage();
    QImage image = ToQImage(data);
    const bool opaque = std::all_of(data.pixels.begin(), data.pixels.end(),
                                    [](std::uint32_t argb) { return (argb >> 24) == 0xFF; });
    if (opaque && !image.isNull())
        image.reinterpretAsFormat(QImage::Format_RGB32);
    it->second = Kept{bitmap.GetVersion(), std::move(image)};
    return it->second.image;
}

} // namespace

// Paints resolved drawing records onto one image with one QPainter. The painter's clip and
// modes are changed only where a record needs other ones than the previous record left:
// saving and restoring the painter's whole state around every record cost more than most
// records' drawing. Solid and patterned fills clip themselves against the record's clip, so
// the painter's clip changes only for text, bitmaps, ellipses and slanted lines.
class RecordPainter {
public:
    explicit RecordPainter(QImage& target) : m_painter(&target) {
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_rasterOps = m_painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    }

    void Render(const DrawRecord& record);

private:
    // `area` within the clip of the record being drawn.
    template <class Paint> void Fill(const QRect& area, const Paint& paint);
    // Fills `r` with a framework brush. Hatches show the background colour between their
    // lines in the opaque background mode, as on the desktop.
    void FillWithBrush(const QRect& r, const LOGBRUSH& brush);
    void ClipPainter(const QRect& clip);
    void SetMode(QPainter::CompositionMode mode);
    void SetOpacity(qreal opacity);

    void Run(QPoint from, bool horizontal, int length, int step, const LOGPEN& pen,
             const QColor& color);
    void Line(QPoint a, QPoint b, const LOGPEN& pen, const QColor& color);
    void Rectangle(const QColor& penColor);
    void TextLine(FontFace& face, int x, int top, const std::string& text);
    void Text();
    void Bitmap();
    void PatBlt();

    QPainter m_painter;
    bool m_rasterOps = true;
    const DrawRecord* m_record = nullptr;
    QRect m_clip;        // where the record being drawn may draw
    QRect m_painterClip; // null while the painter does not clip
    QPainter::CompositionMode m_mode = QPainter::CompositionMode_SourceOver;
    qreal m_opacity = 1.0;
};

template <class Paint> void RecordPainter::Fill(const QRect& area, const Paint& paint) {
    const QRect r = area & m_clip;
    if (r.isEmpty()) {
        return;
    }
    if (!m_painterClip.isNull() && !m_painterClip.contains(r)) {
        m_painter.setClipping(false);
        m_painterClip = QRect();
    }
    m_painter.fillRect(r, paint);
}

void RecordPainter::ClipPainter(const QRect& clip) {
    if (clip != m_painterClip) {
        m_painter.setClipRect(clip);
        m_painterClip = clip;
    }
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
    ClipPainter(m_clip);
    m_painter.setPen(ToQColor(m_record->textColor));
    face.Draw(m_painter, QPoint(x, top + metrics.ascent()), text);
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

void RecordPainter::Bitmap() {
    if (!m_record->bitmap) {
        if (m_record->rop == BLACKNESS || m_record->rop == WHITENESS) {
            Fill(ToQRect(m_record->rect), m_record->rop == BLACKNESS ? Qt::black : Qt::white);
        }
        return;
    }
    const QImage& image = ImageOf(*m_record->bitmap);
    if (image.isNull()) {
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
    if (m_record->Is("DrawState") && (m_record->format & DSS_DISABLED)) {
        SetOpacity(0.45);
    }
    ClipPainter(m_clip);
    m_painter.drawImage(ToQRect(m_record->rect), image, ToQRect(m_record->srcRect));
}

void RecordPainter::PatBlt() {
    const QRect r = ToQRect(m_record->rect);
    switch (m_record->rop) {
    case BLACKNESS:
        Fill(r, Qt::black);
        break;
    case WHITENESS:
        Fill(r, Qt::white);
        break;
    case DSTINVERT:
        SetMode(QPainter::RasterOp_NotDestination);
        Fill(r, Qt::white);
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
    m_clip = ToQRect(record.clip);
    SetMode(QPainter::CompositionMode_SourceOver);
    SetOpacity(1.0);
    const QRect r = ToQRect(record.rect);
    QColor penColor = ToQColor(record.pen.lopnColor);
    const std::string& name = record.name;
    if (name == "FillSolidRect") {
        Fill(r, ToQColor(record.color));
    } else if (name == "FillRect") {
        FillWithBrush(r, record.brush);
    } else if (name == "FrameRect") {
        if (r.width() > 0 && r.height() > 0) {
            const CRect& c = record.rect;
            for (const CRect& side : {CRect(c.left, c.top, c.right, c.top + 1),
                                      CRect(c.left, c.bottom - 1, c.right, c.bottom),
                                      CRect(c.left, c.top, c.left + 1, c.bottom),
                                      CRect(c.right - 1, c.top, c.right, c.bottom)}) {
                FillWithBrush(ToQRect(side), record.brush);
            }
        }
    } else if (name == "Draw3dRect") {
        // The framework's four fills: top and left in the first colour, then right and
        // bottom in the second, which wins the corners it shares.
        const CRect& c = record.rect;
        const QColor tl = ToQColor(record.color);
        const QColor br = ToQColor(record.color2);
        Fill(ToQRect(CRect(c.left, c.top, c.right - 1, c.top + 1)), tl);
        Fill(ToQRect(CRect(c.left, c.top, c.left + 1, c.bottom - 1)), tl);
        Fill(ToQRect(CRect(c.right - 1, c.top, c.right, c.bottom)), br);
        Fill(ToQRect(CRect(c.left, c.bottom - 1, c.right, c.bottom)), br);
    } else if (name == "InvertRect") {
        SetMode(QPainter::RasterOp_NotDestination);
        Fill(r, Qt::white);
    } else if (name == "PatBlt") {
        PatBlt();
    } else if (name == "Rectangle") {
        if (const auto mode = Rop2Mode(record.rop2, m_rasterOps, penColor)) {
            SetMode(*mode);
            Rectangle(penColor);
        }
    } else if (name == "Ellipse") {
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
    } else if (name == "LineTo") {
        if (const auto mode = Rop2Mode(record.rop2, m_rasterOps, penColor)) {
            SetMode(*mode);
            Line(QPoint(record.from.x, record.from.y), QPoint(record.to.x, record.to.y),
                 record.pen, penColor);
        }
    } else if (name == "TextOut") {
        TextLine(FaceFor(record.font), record.from.x, record.from.y, record.text.str());
    } else if (name == "DrawText") {
        Text();
    } else if (name == "BitBlt" || name == "StretchBlt" || name == "DrawState") {
        Bitmap();
    }
    m_record = nullptr;
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

kel::qt::RecordPainter& CQtDC::Painter() {
    if (!m_painter) {
        CQtDC*& holder = Painting()[m_surface.get()];
        if (holder && holder != this)
            holder->EndPainting();
        holder = this;
        m_painter = std::make_unique<kel::qt::RecordPainter>(*m_surface);
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
