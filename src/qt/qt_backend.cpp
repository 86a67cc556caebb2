#include "qt/qt_backend.h"

#include "qt/qt_dc.h"
#include "qt/qt_text.h"
#include "qt/qt_window.h"

#include "platform/cursor.h"
#include "platform/wnd.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <map>

namespace kel::qt {

namespace {

UINT MouseKeyFlags(Qt::MouseButtons buttons) {
    UINT flags = 0;
    if (buttons & Qt::LeftButton) {
        flags |= MK_LBUTTON;
    }
    if (buttons & Qt::RightButton) {
        flags |= MK_RBUTTON;
    }
    if (buttons & Qt::MiddleButton) {
        flags |= MK_MBUTTON;
    }
    return flags;
}

// The virtual key of a Qt key; 0 for keys the framework has no code for.
int VirtualKey(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return 'A' + (key - Qt::Key_A);
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return '0' + (key - Qt::Key_0);
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
        return VK_F1 + (key - Qt::Key_F1);
    }
    static const std::map<int, int> keys = {
        {Qt::Key_Backspace, VK_BACK},    {Qt::Key_Tab, VK_TAB},
        {Qt::Key_Backtab, VK_TAB},       {Qt::Key_Return, VK_RETURN},
        {Qt::Key_Enter, VK_RETURN},      {Qt::Key_Shift, VK_SHIFT},
        {Qt::Key_Control, VK_CONTROL},   {Qt::Key_Alt, VK_MENU},
        {Qt::Key_Pause, VK_PAUSE},       {Qt::Key_CapsLock, VK_CAPITAL},
        {Qt::Key_Escape, VK_ESCAPE},     {Qt::Key_Space, VK_SPACE},
        {Qt::Key_PageUp, VK_PRIOR},      {Qt::Key_PageDown, VK_NEXT},
        {Qt::Key_End, VK_END},           {Qt::Key_Home, VK_HOME},
        {Qt::Key_Left, VK_LEFT},         {Qt::Key_Up, VK_UP},
        {Qt::Key_Right, VK_RIGHT},       {Qt::Key_Down, VK_DOWN},
        {Qt::Key_Insert, VK_INSERT},     {Qt::Key_Delete, VK_DELETE},
        {Qt::Key_Plus, VK_OEM_PLUS},     {Qt::Key_Equal, VK_OEM_PLUS},
        {Qt::Key_Minus, VK_OEM_MINUS},   {Qt::Key_Comma, VK_OEM_COMMA},
        {Qt::Key_Period, VK_OEM_PERIOD}, {Qt::Key_Asterisk, VK_MULTIPLY},
        {Qt::Key_Slash, VK_DIVIDE}};
    const auto it = keys.find(key);
    return it == keys.end() ? 0 : it->second;
}

Qt::CursorShape StandardShape(UINT id) {
    switch (id) {
    case 32513:
        return Qt::IBeamCursor;
    case 32514:
        return Qt::WaitCursor;
    case 32515:
        return Qt::CrossCursor;
    case 32516:
        return Qt::UpArrowCursor;
    case 32642:
        return Qt::SizeFDiagCursor;
    case 32643:
        return Qt::SizeBDiagCursor;
    case 32644:
        return Qt::SizeHorCursor;
    case 32645:
        return Qt::SizeVerCursor;
    case 32646:
        return Qt::SizeAllCursor;
    case 32648:
        return Qt::ForbiddenCursor;
    case 32649:
        return Qt::PointingHandCursor;
    case 32650:
        return Qt::BusyCursor;
    default:
        return Qt::ArrowCursor;
    }
}

// What a screen reader calls a window: its text as the user reads it, without the mnemonic
// marks and without the skin's "@p" mark that ends a skinned button's caption.
QString AccessibleName(const CWnd& wnd) {
    QString text = QString::fromUtf8(wnd.GetWindowText().str());
    if (text.endsWith("@p")) {
        text.chop(2);
    }
    text.replace("&&", QString(QChar(0xFFFF)));
    text.remove('&');
    text.replace(QChar(0xFFFF), "&");
    return text;
}

} // namespace

// Hands the activation of the host's own Qt windows to the framework.
class QtBackend::ActivationFilter : public QObject {
public:
    explicit ActivationFilter(QtBackend& backend) : m_backend(backend) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowActivate) {
            const auto it = m_backend.m_associated.find(static_cast<QWidget*>(watched));
            if (it != m_backend.m_associated.end()) {
                m_backend.OnActivated(it->second);
            }
        }
        return false;
    }

private:
    QtBackend& m_backend;
};

QtBackend* Installed() {
    return dynamic_cast<QtBackend*>(&kel::platform::GetBackend());
}

QtBackend::QtBackend()
    : m_activationFilter(std::make_unique<ActivationFilter>(*this)),
      m_postedTimer(std::make_unique<QTimer>()), m_clipTimer(std::make_unique<QTimer>()) {
    // Posted messages are delivered between the desktop's events, as a message loop does.
    m_postedTimer->setInterval(15);
    QObject::connect(m_postedTimer.get(), &QTimer::timeout,
                     [] { kel::platform::DispatchPostedMessages(); });
    m_postedTimer->start();
    m_clipTimer->setInterval(20);
    QObject::connect(m_clipTimer.get(), &QTimer::timeout, [this] {
        const CPoint now = FromGlobal(QCursor::pos());
        const CPoint confined = Confine(now);
        if (confined != now) {
            SetCursorPos(confined);
        }
    });
}

QtBackend::~QtBackend() {
    for (auto& [wnd, window] : m_windows) {
        if (window) {
            window->SetWnd(nullptr);
            delete window.data();
        }
    }
}

QtWindow* QtBackend::Find(const CWnd* wnd) const {
    const auto it = m_windows.find(wnd);
    return it == m_windows.end() ? nullptr : it->second.data();
}

QWidget* QtBackend::WidgetFor(const CWnd* wnd) const {
    return Find(wnd);
}

void QtBackend::AssociateWindow(QWidget* window, CWnd* wnd) {
    if (!window) {
        return;
    }
    if (wnd) {
        m_associated[window] = wnd;
        window->installEventFilter(m_activationFilter.get());
    } else {
        m_associated.erase(window);
        window->removeEventFilter(m_activationFilter.get());
    }
}

bool QtBackend::IsTopLevel(const CWnd& wnd) {
    return !(wnd.GetStyle() & WS_CHILD) || !IsWindow(wnd.GetParent());
}

CPoint QtBackend::WidgetOrigin(const CWnd& wnd) {
    if (IsTopLevel(wnd)) {
        CPoint origin(0, 0);
        wnd.ClientToScreen(&origin);
        return origin;
    }
    CRect rect;
    wnd.GetWindowRect(&rect);
    return rect.TopLeft();
}

CPoint QtBackend::FromGlobal(QPoint global) const {
    const QPoint p = global - m_globalDelta;
    return {p.x(), p.y()};
}

QPoint QtBackend::ToGlobal(CPoint screen) const {
    return QPoint(screen.x, screen.y) + m_globalDelta;
}

// --- Mirroring.

void QtBackend::WindowCreated(CWnd& wnd) {
    QWidget* parent = nullptr;
    Qt::WindowFlags flags = Qt::Widget;
    if (!IsTopLevel(wnd)) {
        parent = Find(wnd.GetParent());
        if (!parent) {
            return; // its parent came before this backend: it stays off the desktop with it
        }
    } else if ((wnd.GetStyle() & WS_CAPTION) == WS_CAPTION) {
        flags = Qt::Window;
    } else {
        // Caption-less pop-ups (drop-down lists, tips) have no frame of the window manager.
        flags = Qt::Tool | Qt::FramelessWindowHint;
    }
    auto* window = new QtWindow(*this, &wnd, parent, flags);
    window->setWindowTitle(QString::fromUtf8(wnd.GetWindowText().str()));
    window->setAccessibleName(AccessibleName(wnd));
    window->SyncGeometry();
    window->setEnabled(wnd.IsWindowEnabled() != FALSE);
    m_windows[&wnd] = window;
    if (!IsTopLevel(wnd)) {
        Restack(*wnd.GetParent());
    }
    // Qt shows a child with its parent unless it was hidden explicitly, so a window created
    // without WS_VISIBLE (a template's hidden button) is hidden outright.
    window->setVisible((wnd.GetStyle() & WS_VISIBLE) != 0);
}

void QtBackend::Restack(const CWnd& parent) {
    // The framework keeps siblings front first; Qt stacks the last raised on top.
    std::vector<QtWindow*> order;
    for (CWnd* child = parent.GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
        if (QtWindow* window = Find(child)) {
            order.push_back(window);
        }
    }
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        (*it)->raise();
    }
}

void QtBackend::WindowDestroyed(CWnd& wnd) {
    const auto it = m_windows.find(&wnd);
    if (it == m_windows.end()) {
        return;
    }
    QPointer<QtWindow> window = it->second;
    m_windows.erase(it);
    if (window) {
        // Deleted later: the destruction may run inside one of the widget's own events.
        window->SetWnd(nullptr);
        window->hide();
        window->deleteLater();
    }
}

void QtBackend::WindowShown(CWnd& wnd, bool visible) {
    if (QtWindow* window = Find(&wnd)) {
        if (visible) {
            window->SyncGeometry();
        }
        window->setVisible(visible);
    }
}

void QtBackend::WindowMoved(CWnd& wnd) {
    if (QtWindow* window = Find(&wnd)) {
        window->SyncGeometry();
        if (!IsTopLevel(wnd)) {
            Restack(*wnd.GetParent()); // a move without SWP_NOZORDER brings it to the front
        }
    }
}

void QtBackend::WindowTextChanged(CWnd& wnd) {
    if (QtWindow* window = Find(&wnd)) {
        window->setWindowTitle(QString::fromUtf8(wnd.GetWindowText().str()));
        window->setAccessibleName(AccessibleName(wnd));
    }
}

void QtBackend::WindowEnabled(CWnd& wnd, bool enabled) {
    if (QtWindow* window = Find(&wnd)) {
        window->setEnabled(enabled);
    }
}

void QtBackend::WindowInvalidated(CWnd& wnd, const CRect& client) {
    if (QtWindow* window = Find(&wnd)) {
        window->ShowClientRect(client);
    }
}

void QtBackend::WindowScrolled(CWnd& wnd, int dx, int dy, const CRect& area) {
    if (QtWindow* window = Find(&wnd)) {
        window->ScrollSurface(dx, dy, area);
    }
}

void QtBackend::WindowReplaced(CWnd& from, CWnd& to) {
    const auto it = m_windows.find(&from);
    if (it == m_windows.end()) {
        return;
    }
    QPointer<QtWindow> window = it->second;
    m_windows.erase(it);
    if (window) {
        window->SetWnd(&to);
        m_windows[&to] = window;
    }
}

void QtBackend::FocusChanged(CWnd* newFocus) {
    QtWindow* window = Find(newFocus);
    // Keys reach the framework through whichever widget of ours has Qt's focus; moving it
    // only matters inside the active window, and stealing activation would be rude.
    if (window && window->isVisible() && window->isActiveWindow()) {
        window->setFocus(Qt::OtherFocusReason);
    }
}

void QtBackend::CaptureChanged(CWnd* newCapture) {
    // While a button is down Qt already sends every pointer event to the pressed widget, and
    // the framework routes them to its capture window by screen point.
    (void)newCapture;
}

void QtBackend::OnActivated(CWnd* wnd) {
    if (wnd && IsWindow(wnd) && CWnd::GetActiveWindow() != wnd) {
        wnd->SetActiveWindow();
    }
}

// --- Painting.

std::unique_ptr<CDC> QtBackend::CreatePaintDC(CWnd& wnd) {
    CRect client;
    wnd.GetClientRect(&client);
    QtWindow* window = Find(&wnd);
    if (!window) {
        return std::make_unique<CRecordingDC>(client, wnd.GetPaintBox());
    }
    // A paint draws only inside its box: shown once, rather than asked for per record.
    const CRect paintBox = wnd.GetPaintBox();
    window->ShowClientRect(client & paintBox);
    return std::make_unique<CQtDC>(window->Surface(), client, paintBox, nullptr,
                                   RecordPainter::Fills::Deferred);
}

std::unique_ptr<CDC> QtBackend::CreateClientDC(CWnd& wnd) {
    CRect client;
    wnd.GetClientRect(&client);
    QtWindow* window = Find(&wnd);
    if (!window) {
        return std::make_unique<CRecordingDC>(client);
    }
    QPointer<QtWindow> guard(window);
    return std::make_unique<CQtDC>(window->Surface(), client, client, [guard](const CRect& r) {
        if (guard) {
            guard->ShowClientRect(r);
        }
    });
}

// --- Metrics.

int QtBackend::GetSystemMetrics(int index) {
    if (index == SM_CXSCREEN || index == SM_CYSCREEN) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect g = screen->geometry();
            return index == SM_CXSCREEN ? g.width() : g.height();
        }
    }
    return m_fixed.GetSystemMetrics(index);
}

CSize QtBackend::GetTextExtent(const LOGFONT& font, const CString& text) {
    FontFace& face = FaceFor(font);
    return {face.Width(text.str()), face.Metrics().height()};
}

kel::platform::TextMetrics QtBackend::GetTextMetrics(const LOGFONT& font) {
    return FaceFor(font).TextMetrics();
}

// --- Input.

short QtBackend::GetKeyState(int virtualKey) {
    bool down = false;
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    const Qt::KeyboardModifiers modifiers = QGuiApplication::keyboardModifiers();
    switch (virtualKey) {
    case VK_LBUTTON:
        down = buttons & Qt::LeftButton;
        break;
    case VK_RBUTTON:
        down = buttons & Qt::RightButton;
        break;
    case VK_MBUTTON:
        down = buttons & Qt::MiddleButton;
        break;
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT:
        down = (modifiers & Qt::ShiftModifier) || m_keysDown.count(VK_SHIFT);
        break;
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL:
        down = (modifiers & Qt::ControlModifier) || m_keysDown.count(VK_CONTROL);
        break;
    case VK_MENU:
        down = (modifiers & Qt::AltModifier) || m_keysDown.count(VK_MENU);
        break;
    default:
        down = m_keysDown.count(virtualKey) != 0;
        break;
    }
    return down ? kKeyDownBit : 0;
}

void QtBackend::SyncModifiers(Qt::KeyboardModifiers modifiers) {
    // Every input event says which modifiers are held; a release missed while another
    // application had the keyboard must not leave one stuck.
    const std::pair<int, Qt::KeyboardModifier> keys[] = {{VK_SHIFT, Qt::ShiftModifier},
                                                         {VK_CONTROL, Qt::ControlModifier},
                                                         {VK_MENU, Qt::AltModifier}};
    for (const auto& [vk, modifier] : keys) {
        if (modifiers & modifier) {
            m_keysDown.insert(vk);
        } else {
            m_keysDown.erase(vk);
        }
    }
}

CPoint QtBackend::Confine(CPoint screen) const {
    if (m_clip && !m_clip->IsRectEmpty()) {
        screen.x = std::clamp(screen.x, m_clip->left, m_clip->right - 1);
        screen.y = std::clamp(screen.y, m_clip->top, m_clip->bottom - 1);
    }
    return screen;
}

void QtBackend::SetCursorPos(CPoint screen) {
    m_cursor = Confine(screen);
    QCursor::setPos(ToGlobal(m_cursor));
}

void QtBackend::ClipCursor(const CRect* screen) {
    if (screen) {
        m_clip = *screen;
        const CPoint confined = Confine(m_cursor);
        if (confined != m_cursor) {
            SetCursorPos(confined);
        }
        m_clipTimer->start();
    } else {
        m_clip.reset();
        m_clipTimer->stop();
    }
}

void QtBackend::OnMouse(QtWindow& window, QMouseEvent& event, UINT message) {
    CWnd* wnd = window.Wnd();
    if (!wnd || !IsWindow(wnd)) {
        return;
    }
    const QPoint local = event.position().toPoint();
    const CPoint origin = WidgetOrigin(*wnd);
    CPoint screen(origin.x + local.x(), origin.y + local.y());
    m_globalDelta = event.globalPosition().toPoint() - QPoint(screen.x, screen.y);
    m_hover = &window;
    SyncModifiers(event.modifiers());
    // The desktop cannot hold the pointer in a rectangle; putting it back does the same.
    const CPoint confined = Confine(screen);
    if (confined != screen) {
        QCursor::setPos(ToGlobal(confined));
        screen = confined;
    }
    m_cursor = screen;
    kel::platform::DeliverMouse(message, screen, MouseKeyFlags(event.buttons()));
    kel::platform::DispatchPostedMessages();
    event.accept();
}

void QtBackend::OnWheel(QtWindow& window, QWheelEvent& event) {
    CWnd* wnd = window.Wnd();
    if (!wnd || !IsWindow(wnd)) {
        return;
    }
    SyncModifiers(event.modifiers()); // Ctrl zooms, Shift scrolls time
    const QPoint local = event.position().toPoint();
    const CPoint origin = WidgetOrigin(*wnd);
    const CPoint screen(origin.x + local.x(), origin.y + local.y());
    // The wheel goes to the window under the pointer, as the desktop has it, with the
    // pointer's screen point; a window with no use for it hands it to its parent.
    CWnd* target = wnd;
    const UINT flags = MouseKeyFlags(event.buttons()) | kel::platform::CurrentKeyFlags();
    const QPoint delta = event.angleDelta();
    if (delta.y() != 0) {
        target->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(flags, delta.y()),
                            MAKELPARAM(screen.x, screen.y));
    }
    // A tilted wheel or a touchpad's sideways stroke; Windows counts right as positive, Qt
    // counts left.
    if (delta.x() != 0 && IsWindow(target)) {
        target->SendMessage(WM_MOUSEHWHEEL, MAKEWPARAM(flags, -delta.x()),
                            MAKELPARAM(screen.x, screen.y));
    }
    event.accept();
}

void QtBackend::OnKey(QKeyEvent& event, bool down) {
    SyncModifiers(event.modifiers());
    const int vk = VirtualKey(event.key());
    if (vk != 0) {
        if (down) {
            m_keysDown.insert(vk);
        } else {
            m_keysDown.erase(vk);
        }
        // Bit 30 of the key data: the key was down before (auto-repeat).
        const UINT flags = (down && event.isAutoRepeat()) ? 0x4000 : (down ? 0 : 0xC000);
        kel::platform::DeliverKey(down ? WM_KEYDOWN : WM_KEYUP, static_cast<UINT>(vk), 1, flags);
    }
    const QString text = event.text();
    if (down && text.size() == 1 && text.at(0).isPrint() &&
        !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        kel::platform::DeliverKey(WM_CHAR, text.at(0).unicode(), 1, 0);
    }
    kel::platform::DispatchPostedMessages();
    event.accept();
}

// --- Cursors and tips.

QCursor QtBackend::ToQCursor(HCURSOR cursor) {
    if (!cursor) {
        return QCursor(Qt::BlankCursor);
    }
    auto it = m_cursors.find(cursor);
    if (it != m_cursors.end()) {
        return it->second;
    }
    QCursor shape(StandardShape(cursor->standardId));
    if (cursor->resourceId != 0) {
        const QImage image = ToQImage(cursor->data.image);
        if (!image.isNull()) {
            shape = QCursor(QPixmap::fromImage(image), cursor->data.hotX, cursor->data.hotY);
        }
    }
    return m_cursors.emplace(cursor, shape).first->second;
}

void QtBackend::SetCursor(HCURSOR cursor) {
    m_cursorHandle = cursor;
    ApplyCursor();
}

void QtBackend::ApplyCursor() {
    // The framework sets the cursor on every pointer move over its windows; the widget under
    // the pointer is the one to show it.
    if (m_hover) {
        m_hover->setCursor(ToQCursor(m_cursorHandle));
    }
}

void QtBackend::ShowTooltip(CWnd& owner, const CString& text, CPoint screen) {
    if (text.IsEmpty()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(ToGlobal(screen) + QPoint(0, 16), QString::fromUtf8(text.str()),
                       Find(&owner));
}

} // namespace kel::qt
