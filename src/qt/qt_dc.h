// Drawing on a desktop: a device context whose resolved drawing records are painted with
// QPainter onto a window's surface image, and the conversions between the framework's graphics
// descriptions and Qt's.
#pragma once

#include "qt/qt_record_painter.h"
#include "qt/qt_rects.h"

#include "platform/dc.h"
#include "platform/gdi.h"

#include <QColor>
#include <QImage>
#include <functional>
#include <memory>

namespace kel::qt {

QColor ToQColor(COLORREF color);
CRect FromQRect(const QRect& rect);
// An RGBA picture as a Qt image (ARGB32, not premultiplied).
QImage ToQImage(const ImageData& image);

} // namespace kel::qt

// A device context over a window's surface image. `drawn` is told every client rectangle that
// changed, so that the window can show it. A paint's DC may defer its large background fills
// until it ends; a DC that draws at once may not.
class CQtDC : public CDC {
public:
    using DrawnCallback = std::function<void(const CRect&)>;
    CQtDC(std::shared_ptr<QImage> surface, const CRect& client, const CRect& paintClip,
          DrawnCallback drawn = {},
          kel::qt::RecordPainter::Fills fills = kel::qt::RecordPainter::Fills::Immediate);
    ~CQtDC() override;

protected:
    void Render(const kel::platform::DrawRecord& record) override;

private:
    // One painter serves every record of the DC: opening a painter per record cost more than
    // most records' drawing. A surface takes one painter at a time, so another DC that wants
    // to draw on it first ends this one's.
    kel::qt::RecordPainter& Painter();
    void EndPainting();

    // Shared with the window: a resize hands the window a new image, and a DC still open on
    // the old one keeps drawing there harmlessly.
    std::shared_ptr<QImage> m_surface;
    DrawnCallback m_drawn;
    kel::qt::RecordPainter::Fills m_fills;
    std::unique_ptr<kel::qt::RecordPainter> m_painter;
};
