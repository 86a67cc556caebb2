// Mouse and keyboard delivery, shared by every backend: the same routing (capture, window under
// the cursor, focus), the same preceding messages and the same PreTranslateMessage chain
// whether the input comes from a desktop or from a script.
#include "platform/backend.h"
#include "platform/wnd.h"
#include "platform/wnd_internal.h"

using kel::platform::GetBackend;

namespace {

bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN ||
           message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDOWN || message == WM_MBUTTONDBLCLK;
}

// The non-client twin of a client mouse message, or 0 when there is none.
UINT NonClientMessage(UINT message) {
    switch (message) {
    case WM_MOUSEMOVE:
        return WM_NCMOUSEMOVE;
    case WM_LBUTTONDOWN:
        return WM_NCLBUTTONDOWN;
    case WM_LBUTTONUP:
        return WM_NCLBUTTONUP;
    case WM_LBUTTONDBLCLK:
        return WM_NCLBUTTONDBLCLK;
    case WM_RBUTTONDOWN:
        return WM_NCRBUTTONDOWN;
    case WM_RBUTTONUP:
        return WM_NCRBUTTONUP;
    case WM_RBUTTONDBLCLK:
        return WM_NCRBUTTONDBLCLK;
    default:
        return 0;
    }
}

} // namespace

namespace kel::platform {

UINT CurrentKeyFlags() {
    auto& backend = GetBackend();
    UINT flags = 0;
    if (backend.GetKeyState(VK_SHIFT) & kKeyDownBit) {
        flags |= MK_SHIFT;
    }
    if (backend.GetKeyState(VK_CONTROL) & kKeyDownBit) {
        flags |= MK_CONTROL;
    }
    return flags;
}

BOOL PreTranslateChain(MSG& msg) {
    CWnd* wnd = msg.hwnd;
    while (IsWindow(wnd)) {
        if (wnd->PreTranslateMessage(&msg)) {
            return TRUE;
        }
        if (!IsWindow(wnd) || !(wnd->GetStyle() & WS_CHILD)) {
            break; // stop at the top-level window
        }
        wnd = wnd->GetParent();
    }
    return FALSE;
}

CWnd* DeliverMouse(UINT message, CPoint screen, UINT keyFlags) {
    CWnd* capture = CWnd::GetCapture();
    CWnd* target = capture ? capture : WindowFromPoint(screen);
    if (!target) {
        return nullptr;
    }
    if (!capture && !target->IsWindowEnabled()) {
        return nullptr; // disabled windows take no input (a modal dialog's owner)
    }
    keyFlags |= CurrentKeyFlags();
    int hit = HTCLIENT;
    if (!capture) {
        hit =
            static_cast<int>(target->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)));
        if (!IsWindow(target)) {
            return nullptr;
        }
        target->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                            MAKELPARAM(hit, message));
        if (!IsWindow(target)) {
            return nullptr;
        }
    }
    UINT toSend = message;
    WPARAM wParam = keyFlags;
    LPARAM lParam = 0;
    if (hit == HTCLIENT) {
        CPoint client = screen;
        target->ScreenToClient(&client);
        lParam = MAKELPARAM(client.x, client.y);
    } else {
        toSend = NonClientMessage(message);
        if (toSend == 0) {
            return target;
        }
        wParam = static_cast<WPARAM>(hit);
        lParam = MAKELPARAM(screen.x, screen.y);
    }
    if (IsButtonDown(message)) {
        CWnd* top = target->GetTopLevelParent();
        if (top && top != CWnd::GetActiveWindow()) {
            const LRESULT answer = target->SendMessage(
                WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top), MAKELPARAM(hit, message));
            if ((answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) && IsWindow(top)) {
                top->SetActiveWindow();
            }
            if (answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT || !IsWindow(target)) {
                return IsWindow(target) ? target : nullptr;
            }
        }
    }
    MSG msg;
    msg.hwnd = target;
    msg.message = toSend;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.pt = screen;
    if (!PreTranslateChain(msg) && IsWindow(target)) {
        target->SendMessage(toSend, wParam, lParam);
    }
    return IsWindow(target) ? target : nullptr;
}

CWnd* DeliverKey(UINT message, UINT virtualKey, UINT repeat, UINT flags) {
    CWnd* target = CWnd::GetFocus();
    if (!target) {
        target = CWnd::GetActiveWindow();
    }
    if (!target) {
        return nullptr;
    }
    MSG msg;
    msg.hwnd = target;
    msg.message = message;
    msg.wParam = virtualKey;
    msg.lParam = MAKELPARAM(static_cast<int>(repeat), static_cast<int>(flags));
    msg.pt = GetBackend().GetCursorPos();
    if (!PreTranslateChain(msg) && IsWindow(target)) {
        target->SendMessage(message, msg.wParam, msg.lParam);
    }
    return IsWindow(target) ? target : nullptr;
}

} // namespace kel::platform
