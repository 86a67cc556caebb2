// The native widget of one framework window. It keeps the window's client area as a surface
// image that every device context draws into, shows that image when Qt paints, and hands the
// desktop's input to the backend.
#pragma once

#include "platform/geometry.h"

#include <QImage>
#include <QWidget>
#include <memory>
#include <vector>

class CWnd;

namespace kel::qt {

class QtBackend;

class QtWindow : public QWidget {
public:
    QtWindow(QtBackend& backend, CWnd* wnd, QWidget* parent, Qt::WindowFlags flags);
    ~QtWindow() override;

    CWnd* Wnd() const { return m_wnd; }
    // The window was destroyed (null) or taken over by another object.
    void SetWnd(CWnd* wnd) { m_wnd = wnd; }

    // The client area's picture, sized to the client area now. A new size starts from the old
    // picture and makes the framework paint the window afresh.
    std::shared_ptr<QImage> Surface();
    // Where the client area begins inside the widget (a child's frame lies around it).
    QPoint ClientOffset() const;
    // Places the widget where the framework says the window is; a window embedded by the host
    // stays where the host's container put it.
    void SyncGeometry();
    // A top-level window of the framework whose widget the host put into a container of its own
    // (a dock panel, say). The container's layout places it, and the framework's window
    // rectangle follows where it is whenever it is shown, moved or resized in the container
    // (not when the container's window moves as a whole).
    bool IsEmbedded() const;
    // Shows a changed part of the client area at the next paint.
    void ShowClientRect(const CRect& client);
    // Moves the picture inside `area` by (dx, dy), as a scroll moves the content.
    void ScrollSurface(int dx, int dy, const CRect& area);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Tab belongs to the framework's dialogs, not to Qt's focus chain.
    bool focusNextPrevChild(bool) override { return false; }

private:
    // Shows the surface's part in `region` (widget coordinates) on what `painter` paints.
    void ShowSurface(QPainter& painter, const QRegion& region, const QImage& surface);
    void PaintFrame(QPainter& painter);
    // A top-level window moved or resized by the window manager tells the framework.
    void ReportGeometry();

    QtBackend& m_backend;
    CWnd* m_wnd;
    std::shared_ptr<QImage> m_surface;
    // What was asked to be shown since the last paint, up to a few rectangles.
    static constexpr std::size_t kShownKept = 8;
    std::vector<QRect> m_shown;
    bool m_syncing = false;
    bool m_painting = false;
};

} // namespace kel::qt
