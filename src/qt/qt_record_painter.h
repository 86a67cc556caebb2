// Resolved drawing records painted onto an image with one QPainter, whose device coordinates
// are the records' client coordinates. Pens, brushes, raster operations and the clip come from
// each record.
//
// The painter's clip and modes change only where a record needs other ones than the previous
// record left: saving and restoring the painter's whole state around every record cost more
// than most records' drawing. Solid fills clip themselves and, in an image that holds a pixel
// as one QRgb, opaque ones are written straight into it; the painter's clip changes only for
// text, bitmaps, ellipses and slanted lines.
#pragma once

#include "qt/qt_pending_fill.h"

#include "platform/dc.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <optional>
#include <string>

namespace kel::qt {

class FontFace;
struct BitmapImages;

class RecordPainter {
public:
    // How the painting may go about a large background fill (see qt_pending_fill.h).
    enum class Fills {
        Immediate, // each record shows on the image as it comes
        Deferred,  // the image is complete when the painter ends, as a paint's is
    };

    RecordPainter(QImage& target, Fills fills);
    ~RecordPainter();
    RecordPainter(const RecordPainter&) = delete;
    RecordPainter& operator=(const RecordPainter&) = delete;

    void Render(const kel::platform::DrawRecord& record);

private:
    enum class Op {
        FillSolidRect,
        FillRect,
        FrameRect,
        Draw3dRect,
        InvertRect,
        PatBlt,
        Rectangle,
        Ellipse,
        LineTo,
        TextOut,
        DrawText,
        BitBlt,
        StretchBlt,
        DrawState,
        Other,
    };
    static Op OpOf(const std::string& name);
    static bool IsPicture(Op op) {
        return op == Op::BitBlt || op == Op::StretchBlt || op == Op::DrawState;
    }

    // A record's pixels that are opaque whatever lies below; empty for most records.
    QRect OpaqueCover(const kel::platform::DrawRecord& record) const;
    // Every pixel a record may change.
    QRect Reach(const kel::platform::DrawRecord& record) const;
    bool StartsPendingFill(const kel::platform::DrawRecord& record);
    void WritePendingFill();

    // `area` within the clip of the record being drawn.
    void Fill(const QRect& area, const QColor& color);
    void Fill(const QRect& area, COLORREF color); // opaque
    // Whether an opaque fill may be written straight into the image.
    bool WritesPixels() const {
        return m_pixels && m_mode == QPainter::CompositionMode_SourceOver && m_opacity == 1.0;
    }
    void Fill(const QRect& area, const QBrush& brush);
    void WritePixels(const QRect& area, QRgb pixel);
    // Lifts the painter's clip when it would cut into `area`, which is clipped already.
    void UnclipPainterFor(const QRect& area);
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
    // Copies the opaque `image` from `from` onward to `target` (the same size) in the clip.
    void CopyOpaque(const QImage& image, QPoint from, const QRect& target);
    void PatBlt();

    QImage& m_target;
    QRect m_imageRect; // the target's
    QPainter m_painter;
    Fills m_fills;
    uchar* m_pixels = nullptr; // set for the formats that hold a pixel as one QRgb
    qsizetype m_bytesPerLine = 0;
    bool m_rasterOps = true;
    std::optional<PendingFill> m_pending;
    const kel::platform::DrawRecord* m_record = nullptr;
    Op m_op = Op::Other; // the record's
    // The images of the record's bitmap, kept by their cache while the record is drawn.
    const BitmapImages* m_images = nullptr;
    QRect m_clip;        // where the record being drawn may draw
    QRect m_painterClip; // the painter's clip rect, when it has one
    bool m_painterClipOn = false;
    QPainter::CompositionMode m_mode = QPainter::CompositionMode_SourceOver;
    qreal m_opacity = 1.0;
};

} // namespace kel::qt
