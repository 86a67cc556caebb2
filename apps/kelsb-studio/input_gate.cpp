#include "input_gate.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace kel::studio {

namespace {

constexpr const char* kStopControl = "kelsbStopControl";

int g_holds = 0;

bool IsInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

bool IsStopControl(QObject* object) {
    return object->property(kStopControl).toBool();
}

} // namespace

InputGate::InputGate(std::function<bool()> closed, std::function<void()> stop)
    : m_closed(std::move(closed)), m_stop(std::move(stop)) {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

InputGate::~InputGate() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool InputGate::IsClosed() const {
    return g_holds > 0 || (m_closed && m_closed());
}

void InputGate::MarkAsStopControl(QWidget* widget) {
    widget->setProperty(kStopControl, true);
}

InputGate::Hold::Hold() {
    ++g_holds;
}

InputGate::Hold::~Hold() {
    --g_holds;
}

bool InputGate::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // A window closed from the desktop in the middle of a play would take the play's windows
    // with it: it waits for the user to ask again.
    const bool closing = type == QEvent::Close && event->spontaneous();
    if ((!IsInput(type) && !closing) || !IsClosed())
        return false;
    if (!closing && IsStopControl(watched))
        return false;
    if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Escape || key == Qt::Key_Space) && m_stop)
            m_stop();
    }
    if (closing)
        event->ignore();
    ++m_dropped;
    return true;
}

} // namespace kel::studio
