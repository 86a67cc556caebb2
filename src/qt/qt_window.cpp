#include "qt/qt_window.h"

#include "qt/qt_backend.h"
#include "qt/qt_dc.h"

#include "platform/wnd.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

namespace kel::qt {

namespace {

// A large window's surface on pages of 2 MB where the system offers them: a repaint writes
// rectangles all over it and then copies it row by row, and with pages of 4 KB the
// processor spends part of that looking up where each page lies.
QImage SurfaceImage(const QSize& size) {
#ifdef MADV_HUGEPAGE
    constexpr std::size_t kLargePage = std::size_t(2) << 20;
    const qsizetype bytesPerLine = qsizetype(size.width()) * 4;
    const std::size_t bytes = std::size_t(bytesPerLine) * std::size_t(size.height());
    if (bytes >= kLargePage) {
        const std::size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
        if (void* pixels = std::aligned_alloc(kLargePage, rounded)) {
            ::madvise(pixels, rounded, MADV_HUGEPAGE); // a hint: without it, plain pages
            return QImage(
                static_cast<uchar*>(pixels), size.width(), size.height(), bytesPerLine,
                QImage::Format_RGB32, [](void* p) { std::free(p); }, pixels);
        }
    }
#endif
    return QImage(size, QImage::Format_RGB32);
}

} // namespace

QtWindow::QtWindow(QtBackend& backend, CWnd* wnd, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), m_backend(backend), m_wnd(wnd) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    // Every pixel comes from the surface; Qt needs to erase nothing.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

QtWindow::~QtWindow() = default;

QPoint QtWindow::ClientOffset() const {
    if (!m_wnd || !IsWindow(m_wnd) || QtBackend::IsTopLevel(*m_wnd)) {
        return {};
    }
    const CRect insets = m_wnd->GetNonClientInsets();
    return {insets.left, insets.top};
}

std::shared_ptr<QImage> QtWindow::Surface() {
    QSize size(1, 1);
    if (m_wnd && IsWindow(m_wnd)) {
        CRect client;
        m_wnd->GetClientRect(&client);
        size = QSize(std::max(1, client.Width()), std::max(1, client.Height()));
    }
    if (!m_surface || m_surface->size() != size) {
        auto fresh = std::make_shared<QImage>(SurfaceImage(size));
        fresh->fill(Qt::white);
        if (m_surface) {
            QPainter painter(fresh.get());
            painter.drawImage(0, 0, *m_surface);
        }
        const bool first = !m_surface;
        m_surface = std::move(fresh);
        if (m_wnd && IsWindow(m_wnd) && first) {
            // The window has drawn nothing on it yet. A paint under way draws its region; the
            // rest is painted next, and what the paint draws is not painted over again.
            QRegion unpainted(QRect(QPoint(0, 0), size));
            for (const CRect& painting : m_wnd->GetPaintRegion()) {
                unpainted -= ToQRect(painting);
            }
            for (const QRect& part : unpainted) {
                const CRect rect = FromQRect(part);
                m_wnd->InvalidateRect(&rect, TRUE);
            }
        }
    }
    return m_surface;
}

bool QtWindow::IsEmbedded() const {
    return m_wnd && IsWindow(m_wnd) && QtBackend::IsTopLevel(*m_wnd) && !isWindow();
}

void QtWindow::SyncGeometry() {
    if (!m_wnd || !IsWindow(m_wnd)) {
        return;
    }
    if (IsEmbedded()) {
        return; // the host's container places it
    }
    QRect target;
    if (QtBackend::IsTopLevel(*m_wnd)) {
        CRect client;
        m_wnd->GetClientRect(&client);
        const CPoint origin = QtBackend::WidgetOrigin(*m_wnd);
        target = QRect(m_backend.ToGlobal(origin), QSize(client.Width(), client.Height()));
    } else {
        CRect rect;
        m_wnd->GetWindowRect(&rect);
        const CPoint parentOrigin = QtBackend::WidgetOrigin(*m_wnd->GetParent());
        target = QRect(rect.left - parentOrigin.x, rect.top - parentOrigin.y, rect.Width(),
                       rect.Height());
    }
    if (geometry() != target) {
        m_syncing = true;
        setGeometry(target);
        m_syncing = false;
    }
}

void QtWindow::ShowClientRect(const CRect& client) {
    if (m_painting) {
        return; // the paint under way shows it
    }
    // A paint's records mostly fall inside what an earlier record of it already asked to
    // show; asking Qt again for each would cost a region union per record.
    const QRect rect = ToQRect(client).translated(ClientOffset());
    if (std::any_of(m_shown.begin(), m_shown.end(),
                    [&](const QRect& shown) { return shown.contains(rect); })) {
        return;
    }
    if (m_shown.size() < kShownKept) {
        m_shown.push_back(rect);
    }
    update(rect);
}

void QtWindow::ScrollSurface(int dx, int dy, const CRect& area) {
    auto surface = Surface();
    const QRect r = ToQRect(area);
    const QImage moved = surface->copy(r);
    {
        QPainter painter(surface.get());
        painter.setClipRect(r);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(r.topLeft() + QPoint(dx, dy), moved);
    }
    ShowClientRect(area);
}

void QtWindow::paintEvent(QPaintEvent* event) {
    m_shown.clear();
    auto surface = Surface();
    if (m_wnd && IsWindow(m_wnd) && !m_wnd->GetInvalidRegion().empty()) {
        m_painting = true;
        m_wnd->PaintNow();
        m_painting = false;
        surface = Surface();
    }
    QPainter painter(this);
    ShowSurface(painter, event->region(), *surface);
    PaintFrame(painter);
}

void QtWindow::ShowSurface(QPainter& painter, const QRegion& region, const QImage& surface) {
    const QPoint offset = ClientOffset();
    // The window system's picture of the window is an image like the surface wherever the
    // raster engine paints widgets one to one: then the surface's rows are copied straight
    // in. The engine's own copy sets up more and hands large ones to worker threads, which on
    // a full repaint costs more than the copy.
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    const QTransform transform = painter.deviceTransform();
    if (device && engine->type() == QPaintEngine::Raster && device->devType() == QInternal::Image &&
        device->devicePixelRatio() == 1.0 && transform.type() <= QTransform::TxTranslate &&
        transform.dx() == int(transform.dx()) && transform.dy() == int(transform.dy())) {
        auto* image = static_cast<QImage*>(device);
        // A shared image would be copied by bits(), away from where the engine paints.
        if (image->format() == surface.format() && image->isDetached()) {
            const QPoint shift(int(transform.dx()), int(transform.dy()));
            const QRect shown = QRect(offset, surface.size()) & rect();
            uchar* bits = image->bits();
            const qsizetype bytesPerLine = image->bytesPerLine();
            for (const QRect& part : region) {
                const QRect area = (part & shown).translated(shift) & image->rect();
                if (area.isEmpty()) {
                    continue;
                }
                const QPoint in = area.topLeft() - shift - offset; // on the surface
                const std::size_t bytes = std::size_t(area.width()) * 4;
                for (int row = 0; row < area.height(); ++row) {
                    std::memcpy(bits + (area.top() + row) * bytesPerLine + area.left() * 4,
                                surface.constScanLine(in.y() + row) + in.x() * 4, bytes);
                }
            }
            return;
        }
    }
    painter.save();
    painter.setClipRegion(region);
    painter.drawImage(offset, surface);
    painter.restore();
}

void QtWindow::PaintFrame(QPainter& painter) {
    const QPoint offset = ClientOffset();
    if (offset.isNull()) {
        return;
    }
    // A child's border: a dark outer line, and the sunken edge of a client edge inside it.
    const QRect outer = rect();
    painter.setPen(QColor(100, 100, 100));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(outer.adjusted(0, 0, -1, -1));
    if (offset.x() >= 2) {
        painter.setPen(QColor(128, 128, 128));
        painter.drawLine(1, 1, outer.width() - 2, 1);
        painter.drawLine(1, 1, 1, outer.height() - 2);
        painter.setPen(QColor(240, 240, 240));
        painter.drawLine(1, outer.height() - 2, outer.width() - 2, outer.height() - 2);
        painter.drawLine(outer.width() - 2, 1, outer.width() - 2, outer.height() - 2);
    }
}

void QtWindow::mousePressEvent(QMouseEvent* event) {
    UINT message = WM_LBUTTONDOWN;
    if (event->button() == Qt::RightButton) {
        message = WM_RBUTTONDOWN;
    } else if (event->button() == Qt::MiddleButton) {
        message = WM_MBUTTONDOWN;
    }
    m_backend.OnMouse(*this, *event, message);
}

void QtWindow::mouseReleaseEvent(QMouseEvent* event) {
    UINT message = WM_LBUTTONUP;
    if (event->button() == Qt::RightButton) {
        message = WM_RBUTTONUP;
    } else if (event->button() == Qt::MiddleButton) {
        message = WM_MBUTTONUP;
    }
    m_backend.OnMouse(*this, *event, message);
}

void QtWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt sends press, release, double click, release: the desktop's own order with the
    // second press standing for the double click.
    UINT message = WM_LBUTTONDBLCLK;
    if (event->button() == Qt::RightButton) {
        message = WM_RBUTTONDBLCLK;
    } else if (event->button() == Qt::MiddleButton) {
        message = WM_MBUTTONDBLCLK;
    }
    m_backend.OnMouse(*this, *event, message);
}

void QtWindow::mouseMoveEvent(QMouseEvent* event) {
    m_backend.OnMouse(*this, *event, WM_MOUSEMOVE);
}

void QtWindow::wheelEvent(QWheelEvent* event) {
    m_backend.OnWheel(*this, *event);
}

void QtWindow::keyPressEvent(QKeyEvent* event) {
    m_backend.OnKey(*event, true);
}

void QtWindow::keyReleaseEvent(QKeyEvent* event) {
    m_backend.OnKey(*event, false);
}

void QtWindow::moveEvent(QMoveEvent*) {
    ReportGeometry();
}

void QtWindow::resizeEvent(QResizeEvent*) {
    ReportGeometry();
}

void QtWindow::showEvent(QShowEvent*) {
    // The container may have moved as a whole while this was hidden.
    if (IsEmbedded()) {
        ReportGeometry();
    }
}

void QtWindow::ReportGeometry() {
    if (m_syncing || !m_wnd || !IsWindow(m_wnd) || !QtBackend::IsTopLevel(*m_wnd) || !isVisible()) {
        return;
    }
    const QRect g = geometry();
    const CPoint origin = m_backend.FromGlobal(isWindow() ? g.topLeft() : mapToGlobal(QPoint()));
    const CRect insets = m_wnd->GetNonClientInsets();
    CRect window(origin.x - insets.left, origin.y - insets.top, origin.x + g.width() + insets.right,
                 origin.y + g.height() + insets.bottom);
    CRect now;
    m_wnd->GetWindowRect(&now);
    if (now == window) {
        return;
    }
    m_syncing = true;
    m_wnd->SetWindowPos(nullptr, window.left, window.top, window.Width(), window.Height(),
                        SWP_NOZORDER | SWP_NOACTIVATE);
    m_syncing = false;
}

void QtWindow::closeEvent(QCloseEvent* event) {
    // The window decides itself whether it goes (a dialog only hides on WM_CLOSE).
    event->ignore();
    if (m_wnd && IsWindow(m_wnd)) {
        m_wnd->SendMessage(WM_CLOSE);
    }
}

void QtWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isWindow() && isActiveWindow()) {
        m_backend.OnActivated(m_wnd);
    }
    QWidget::changeEvent(event);
}

} // namespace kel::qt
