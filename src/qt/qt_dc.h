// Drawing on a desktop: a device context whose resolved drawing records are painted with
// QPainter onto a window's surface image, and the conversions between the framework's graphics
// descriptions and Qt's.
#pragma once

#include "platform/dc.h"
#include "platform/gdi.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <functional>
#include <memory>

class QPainter;

namespace kel::qt {

QColor ToQColor(COLORREF color);
QRect ToQRect(const CRect& rect);
CRect FromQRect(const QRect& rect);
// The font a LOGFONT stands for. Windows face names map to the installed families that look
// closest, so measuring and drawing agree on every machine.
QFont ToQFont(const LOGFONT& font);
// An RGBA picture as a Qt image (ARGB32, not premultiplied).
QImage ToQImage(const ImageData& image);

// Paints one resolved drawing operation onto `painter`, whose device coordinates are the
// record's client coordinates. Pens, brushes, raster operations and the clip come from the
// record itself.
void RenderRecord(QPainter& painter, const kel::platform::DrawRecord& record);

} // namespace kel::qt

// A device context over a window's surface image. `drawn` is told every client rectangle that
// changed, so that the window can show it.
class CQtDC : public CDC {
public:
    using DrawnCallback = std::function<void(const CRect&)>;
    CQtDC(std::shared_ptr<QImage> surface, const CRect& client, const CRect& paintClip,
          DrawnCallback drawn = {});
    ~CQtDC() override;

protected:
    void Render(const kel::platform::DrawRecord& record) override;

private:
    // One painter serves every record of the DC: opening a painter per record cost more than
    // most records' drawing. A surface takes one painter at a time, so another DC that wants
    // to draw on it first ends this one's.
    QPainter& Painter();
    void EndPainting();

    // Shared with the window: a resize hands the window a new image, and a DC still open on
    // the old one keeps drawing there harmlessly.
    std::shared_ptr<QImage> m_surface;
    DrawnCallback m_drawn;
    std::unique_ptr<QPainter> m_painter;
};
