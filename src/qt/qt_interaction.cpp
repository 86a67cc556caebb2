// What the backend runs modally on the desktop: message boxes, pop-up menus, modal dialogs, the
// drag-and-drop loop and the rubber band.
#include "qt/qt_backend.h"
#include "qt/qt_dc.h"
#include "qt/qt_window.h"

#include "platform/dialog.h"
#include "platform/menu.h"
#include "platform/ole.h"
#include "platform/wnd.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRubberBand>
#include <QTimer>
#include <QWindow>
#include <vector>

namespace kel::qt {

namespace {

int AnswerOf(QMessageBox::StandardButton button) {
    switch (button) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Abort:
        return 3; // IDABORT
    case QMessageBox::Retry:
        return 4; // IDRETRY
    case QMessageBox::Ignore:
        return 5; // IDIGNORE
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return 0;
    }
}

// The buttons of a MB_* type, in the desktop's order.
std::vector<QMessageBox::StandardButton> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case MB_ABORTRETRYIGNORE:
        return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case MB_YESNOCANCEL:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case MB_YESNO:
        return {QMessageBox::Yes, QMessageBox::No};
    case MB_RETRYCANCEL:
        return {QMessageBox::Retry, QMessageBox::Cancel};
    default:
        return {QMessageBox::Ok};
    }
}

QMessageBox::Icon IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

void FillMenu(QMenu& menu, const CMenu& source) {
    for (const CMenu::Item& item : source.GetItems()) {
        const QString text = QString::fromUtf8(item.text.str());
        const bool enabled = (item.flags & (MF_GRAYED | MF_DISABLED)) == 0;
        if (item.flags & MF_SEPARATOR) {
            menu.addSeparator();
        } else if (item.popup) {
            QMenu* sub = menu.addMenu(text);
            sub->setEnabled(enabled);
            FillMenu(*sub, *item.popup);
        } else {
            QAction* action = menu.addAction(text);
            action->setData(item.id);
            action->setEnabled(enabled);
            if (item.flags & MF_CHECKED) {
                action->setCheckable(true);
                action->setChecked(true);
            }
        }
    }
}

// Watches the pointer for the whole application, so that the widgets under it see nothing
// while a drag or a rubber band runs, as with the desktop's own loops.
class PointerFilter : public QObject {
public:
    PointerFilter(QtBackend& backend, QEventLoop& loop,
                  const std::function<void(CPoint, DWORD)>& moved)
        : m_backend(backend), m_loop(loop), m_moved(moved) {}
    bool released = false;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            m_loop.quit(); // wherever the key went
            return true;
        }
        // Pointer events are taken where they reach a widget: the desktop's pass through the
        // window first, synthesised ones go to the widget directly.
        if (!watched->isWidgetType()) {
            return false;
        }
        switch (event->type()) {
        case QEvent::MouseMove: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (!(e->buttons() & Qt::LeftButton)) {
                m_loop.quit(); // the release happened where we could not see it
                return true;
            }
            m_moved(Screen(*e), KeyState(*e));
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() == Qt::LeftButton) {
                m_moved(Screen(*e), KeyState(*e) & ~MK_LBUTTON);
                released = true;
                m_loop.quit();
            }
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            return true;
        default:
            return false;
        }
    }

private:
    CPoint Screen(const QMouseEvent& e) const {
        return m_backend.FromGlobal(e.globalPosition().toPoint());
    }
    static DWORD KeyState(const QMouseEvent& e) {
        DWORD keys = 0;
        if (e.buttons() & Qt::LeftButton) {
            keys |= MK_LBUTTON;
        }
        if (e.buttons() & Qt::RightButton) {
            keys |= MK_RBUTTON;
        }
        if (e.modifiers() & Qt::ShiftModifier) {
            keys |= MK_SHIFT;
        }
        if (e.modifiers() & Qt::ControlModifier) {
            keys |= MK_CONTROL;
        }
        return keys;
    }

    QtBackend& m_backend;
    QEventLoop& m_loop;
    const std::function<void(CPoint, DWORD)>& m_moved;
};

} // namespace

int QtBackend::MessageBox(CWnd* owner, const CString& text, const CString& caption, UINT type) {
    QWidget* parent = nullptr;
    if (QtWindow* window = Find(owner)) {
        parent = window->window()->isVisible() ? window->window() : nullptr;
    }
    QMessageBox box(IconOf(type), QString::fromUtf8(caption.str()), QString::fromUtf8(text.str()),
                    QMessageBox::NoButton, parent);
    const auto buttons = ButtonsOf(type);
    for (auto b : buttons) {
        box.addButton(b);
    }
    const std::size_t defaultIndex = (type & MB_DEFBUTTON3) ? 2 : (type & MB_DEFBUTTON2) ? 1 : 0;
    if (defaultIndex < buttons.size()) {
        box.setDefaultButton(buttons[defaultIndex]);
    }
    box.exec();
    int answer = AnswerOf(box.standardButton(box.clickedButton()));
    if (answer == 0) {
        // Closed without a button: the desktop answers Cancel where there is one, else the
        // harmless choice.
        const UINT kind = type & MB_TYPEMASK;
        answer = (kind == MB_YESNO) ? IDNO : (kind == MB_OK ? IDOK : IDCANCEL);
    }
    return answer;
}

UINT QtBackend::TrackPopupMenu(const CMenu& popup, UINT flags, CPoint screen, CWnd*) {
    QMenu menu;
    FillMenu(menu, popup);
    QPoint at = ToGlobal(screen);
    const QSize size = menu.sizeHint();
    if (flags & TPM_RIGHTALIGN) {
        at.rx() -= size.width();
    } else if (flags & TPM_CENTERALIGN) {
        at.rx() -= size.width() / 2;
    }
    if (flags & TPM_BOTTOMALIGN) {
        at.ry() -= size.height();
    } else if (flags & TPM_VCENTERALIGN) {
        at.ry() -= size.height() / 2;
    }
    QAction* chosen = menu.exec(at);
    return chosen ? chosen->data().toUInt() : 0;
}

int QtBackend::RunModal(CWnd& dialog) {
    auto* dlg = dynamic_cast<CDialog*>(&dialog);
    QPointer<QtWindow> window = Find(&dialog);
    if (window) {
        // Modality cannot change while a window is shown.
        window->hide();
        window->setWindowModality(Qt::ApplicationModal);
        window->SyncGeometry();
        window->show();
        window->raise();
        window->activateWindow();
    }
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const bool gone = !IsWindow(&dialog) || !dialog.IsWindowVisible();
        if (gone || (dlg && dlg->IsModalLoopDone())) {
            loop.quit();
        }
    });
    poll.start();
    loop.exec();
    if (dlg && dlg->IsModalLoopDone()) {
        return dlg->GetModalResult();
    }
    return IDCANCEL;
}

bool QtBackend::RunPointerLoop(const std::function<void(CPoint, DWORD)>& moved) {
    if (m_pointerLoop || !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
        return false; // nothing is held, so nothing can be dragged
    }
    m_pointerLoop = true;
    QEventLoop loop;
    PointerFilter filter(*this, loop, moved);
    qApp->installEventFilter(&filter);
    loop.exec();
    qApp->removeEventFilter(&filter);
    m_pointerLoop = false;
    return filter.released;
}

DWORD QtBackend::DoDragDrop(const kel::platform::DragPayload& data, DWORD allowedEffects) {
    kel::platform::DragLoop drag(data, allowedEffects);
    DWORD keys = MK_LBUTTON | kel::platform::CurrentKeyFlags();
    auto show = [](DWORD effect) {
        const Qt::CursorShape shape = (effect & DROPEFFECT_MOVE)   ? Qt::DragMoveCursor
                                      : (effect & DROPEFFECT_COPY) ? Qt::DragCopyCursor
                                                                   : Qt::ForbiddenCursor;
        QGuiApplication::changeOverrideCursor(QCursor(shape));
    };
    QGuiApplication::setOverrideCursor(QCursor(Qt::ForbiddenCursor));
    show(drag.MoveTo(m_cursor, keys));
    const bool dropped = RunPointerLoop([&](CPoint screen, DWORD state) {
        m_cursor = Confine(screen);
        keys = state;
        if (state & MK_LBUTTON) {
            show(drag.MoveTo(m_cursor, state));
        }
    });
    QGuiApplication::restoreOverrideCursor();
    if (!dropped) {
        drag.Cancel();
        return DROPEFFECT_NONE;
    }
    const DWORD effect = drag.Drop(m_cursor, keys);
    drag.Cancel(); // leaves whatever the drop did not finish
    return effect;
}

CRect QtBackend::TrackRubberBand(CWnd& wnd, CPoint start, const CRect& limitScreen) {
    QtWindow* window = Find(&wnd);
    if (!window) {
        return CRect();
    }
    CRect limit = limitScreen;
    wnd.ScreenToClient(&limit);
    QRubberBand band(QRubberBand::Rectangle, window);
    CRect result;
    const bool released = RunPointerLoop([&](CPoint screen, DWORD) {
        CPoint p = Confine(screen);
        m_cursor = p;
        wnd.ScreenToClient(&p);
        p.x = std::clamp(p.x, limit.left, std::max(limit.left, limit.right));
        p.y = std::clamp(p.y, limit.top, std::max(limit.top, limit.bottom));
        result = CRect(start, p);
        result.NormalizeRect();
        result &= limit;
        band.setGeometry(ToQRect(result).translated(window->ClientOffset()));
        band.show();
    });
    return released ? result : CRect();
}

} // namespace kel::qt
