#include "panel_dock.h"

#include "qt/qt_backend.h"

#include "platform/wnd.h"

#include <QCloseEvent>
#include <QEvent>
#include <QPainter>

namespace kel::studio {

// Drawn above the dock's widget and letting every click through to it.
class PanelDock::FocusMark : public QWidget {
public:
    explicit FocusMark(QWidget* dock) : QWidget(dock) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        constexpr int kWidth = 3;
        QPainter painter(this);
        const QColor colour = palette().color(QPalette::Active, QPalette::Highlight);
        const QRect r = rect();
        painter.fillRect(QRect(0, 0, r.width(), kWidth), colour);
        painter.fillRect(QRect(0, r.height() - kWidth, r.width(), kWidth), colour);
        painter.fillRect(QRect(0, 0, kWidth, r.height()), colour);
        painter.fillRect(QRect(r.width() - kWidth, 0, kWidth, r.height()), colour);
    }
};

PanelDock::PanelDock(const QString& title, const QString& name, QWidget* parent)
    : QDockWidget(title, parent) {
    setObjectName(name);
    setAccessibleName(title);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
}

void PanelDock::HoldWidget(QWidget* widget) {
    // An ordinary widget may have been made as a window of its own.
    widget->setWindowFlags(Qt::Widget);
    setWidget(widget);
    widget->show();
}

void PanelDock::HoldPanel(CWnd* panel) {
    kel::qt::QtBackend* backend = kel::qt::Installed();
    QWidget* widget = backend && IsWindow(panel) ? backend->WidgetFor(panel) : nullptr;
    if (!widget) {
        return;
    }
    m_panel = panel;
    m_panelWidget = widget;
    setWidget(widget); // no longer a window: the dock places it
    // The window's visibility stays the framework's: shown inside the dock exactly when the
    // framework has it visible.
    const bool visible = panel->IsWindowVisible() != FALSE;
    widget->setVisible(visible);
    setVisible(visible);
    widget->installEventFilter(this);
}

void PanelDock::ShowPanel(bool show) {
    if (m_panel && IsWindow(m_panel)) {
        // The framework window's widget tells the dock (eventFilter).
        m_panel->ShowWindow(show ? SW_SHOWNA : SW_HIDE);
    }
    setVisible(show);
    if (show) {
        raise(); // a tab behind another comes to the front
    }
}

void PanelDock::PushVisibilityToPanel() {
    if (m_panel && IsWindow(m_panel) && (m_panel->IsWindowVisible() != FALSE) != IsShown()) {
        m_panel->ShowWindow(IsShown() ? SW_SHOWNA : SW_HIDE);
    }
}

void PanelDock::SetMarked(bool marked) {
    if (marked && !m_mark) {
        m_mark = new FocusMark(this);
    }
    if (m_mark) {
        m_mark->setGeometry(rect());
        m_mark->setVisible(marked);
        m_mark->raise();
    }
}

bool PanelDock::IsMarked() const {
    return m_mark && !m_mark->isHidden();
}

void PanelDock::resizeEvent(QResizeEvent* event) {
    QDockWidget::resizeEvent(event);
    if (m_mark) {
        m_mark->setGeometry(rect());
    }
}

void PanelDock::closeEvent(QCloseEvent* event) {
    QDockWidget::closeEvent(event);
    if (event->isAccepted() && m_panel && IsWindow(m_panel)) {
        m_panel->ShowWindow(SW_HIDE);
    }
}

bool PanelDock::eventFilter(QObject* watched, QEvent* event) {
    // Only the window's own showing and hiding counts, not the dock's being moved about.
    if (watched == m_panelWidget) {
        if (event->type() == QEvent::ShowToParent && isHidden()) {
            show();
        } else if (event->type() == QEvent::HideToParent && !isHidden()) {
            hide();
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

} // namespace kel::studio
