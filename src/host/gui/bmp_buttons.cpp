#include "host/gui/bmp_buttons.h"

#include "host/gui/skin.h"
#include "host/services/gui_font.h"
#include "host/services/module_rc.h"

using namespace kel::gui;

namespace {

// Width of one frame: button bitmaps are strips of four equal frames (normal, hot, pressed,
// disabled); any other picture is a single frame.
int FrameWidth(CSize size) {
    const bool strip = size.cx >= 4 * size.cy && size.cx % 4 == 0;
    return strip ? size.cx / 4 : size.cx;
}

// COLORREF is 0x00BBGGRR, picture pixels are 0xAARRGGBB.
std::uint32_t toPixelRgb(COLORREF colour) {
    return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(colour)) << 8) |
           static_cast<std::uint32_t>(GetBValue(colour));
}

} // namespace

CKelBmpReliefBtn::CKelBmpReliefBtn() = default;
CKelBmpReliefBtn::~CKelBmpReliefBtn() = default;

BOOL CKelBmpReliefBtn::SetReliefBitmap(HINSTANCE module, UINT bitmapId, COLORREF transparent) {
    const ImageData* found = CKelModuleRC::FindBitmapImage(module, bitmapId);
    if (!found || found->width <= 0 || found->height <= 0)
        return FALSE;
    ImageData image = *found;
    if (transparent != kNoTransparentColour) {
        const std::uint32_t key = toPixelRgb(transparent);
        for (std::uint32_t& pixel : image.pixels)
            if ((pixel & 0x00FFFFFF) == key)
                pixel = 0;
    }
    if (m_bitmap.GetSafeHandle())
        m_bitmap.DeleteObject();
    if (!m_bitmap.CreateFromImage(image, bitmapId))
        return FALSE;
    m_bitmapId = bitmapId;
    if (GetSafeHwnd())
        Invalidate(FALSE);
    return TRUE;
}

BOOL CKelBmpReliefBtn::SubclassDlgItem(UINT id, CWnd* parent, HINSTANCE module, int type, int view,
                                       UINT bitmapId, COLORREF transparent) {
    if (!parent || !parent->GetDlgItem(static_cast<int>(id)))
        return FALSE;
    if (!SetReliefBitmap(module, bitmapId, transparent))
        return FALSE;
    if (!CWnd::SubclassDlgItem(id, parent))
        return FALSE;
    SetLook(type, view);
    // A bitmap-only button is as large as one bitmap frame and its relief edge, whatever the
    // template's cell: a strip of them then stays one bitmap high at any dialog base units.
    if (view == 2) {
        const CSize size = m_bitmap.GetSize();
        const int edge = 1;
        SetWindowPos(nullptr, 0, 0, FrameWidth(size) + 2 * edge, size.cy + 2 * edge,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Invalidate(FALSE);
    return TRUE;
}

int CKelBmpReliefBtn::GetDrawFrame() const {
    if (!IsWindowEnabled())
        return kFrameDisabled;
    if (GetState() & BST_PUSHED)
        return kFramePressed;
    const DWORD kind = GetStyle() & BS_TYPEMASK;
    const bool checkable = kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX ||
                           kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON ||
                           kind == BS_3STATE || kind == BS_AUTO3STATE;
    if (checkable && (GetStyle() & BS_PUSHLIKE) && GetCheck() == BST_CHECKED)
        return kFramePressed;
    return m_hot ? kFrameHot : kFrameNormal;
}

void CKelBmpReliefBtn::SetHot(bool hot) {
    if (hot == m_hot)
        return;
    m_hot = hot;
    if (GetSafeHwnd())
        Invalidate(FALSE);
}

LRESULT CKelBmpReliefBtn::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSELEAVE) {
        SetHot(false);
        return 0;
    }
    const LRESULT result = CButton::WindowProc(message, wParam, lParam);
    // Pressing, releasing and checking change the look.
    if (message == BM_SETCHECK || message == BM_SETSTATE || message == WM_LBUTTONDOWN ||
        message == WM_LBUTTONUP)
        if (GetSafeHwnd())
            Invalidate(FALSE);
    return result;
}

void CKelBmpReliefBtn::OnMouseMove(UINT flags, CPoint point) {
    CRect client;
    GetClientRect(&client);
    SetHot(client.PtInRect(point) != FALSE);
    CButton::OnMouseMove(flags, point);
}

void CKelBmpReliefBtn::OnCaptureChanged(CWnd* wnd) {
    // The mouse may have been released elsewhere: hot only if it still is over the button.
    CPoint cursor;
    if (::GetCursorPos(&cursor)) {
        ScreenToClient(&cursor);
        CRect client;
        GetClientRect(&client);
        SetHot(client.PtInRect(cursor) != FALSE);
    }
    CButton::OnCaptureChanged(wnd);
}

void CKelBmpReliefBtn::OnEnable(BOOL enable) {
    if (!enable)
        m_hot = false;
    Invalidate(FALSE);
    CButton::OnEnable(enable);
}

void CKelBmpReliefBtn::OnPaint() {
    CPaintDC dc(this);
    DrawButton(dc);
}

void CKelBmpReliefBtn::DrawButton(CDC& dc) {
    CRect client;
    GetClientRect(&client);
    const int frame = GetDrawFrame();
    const bool pressed = frame == kFramePressed;
    const COLORREF face = pressed ? kFacePressed : (frame == kFrameHot ? kFaceHot : kFace);
    if (m_type == 0 && (pressed || frame == kFrameHot))
        DrawBevel(dc, client, face, pressed);
    else
        dc.FillSolidRect(client, face);

    int textLeft = client.left + 3;
    if (m_view != 1 && m_bitmap.GetSafeHandle()) {
        const CSize size = m_bitmap.GetSize();
        const int frameWidth = FrameWidth(size);
        const int source = frameWidth < size.cx ? frame * frameWidth : 0;
        const int x =
            m_view == 2 ? client.left + (client.Width() - frameWidth) / 2 : client.left + 3;
        const int y = client.top + (client.Height() - size.cy) / 2;
        CDC memory;
        if (memory.CreateCompatibleDC(&dc)) {
            CBitmap* old = memory.SelectObject(&m_bitmap);
            dc.BitBlt(x, y, frameWidth, size.cy, &memory, source, 0, SRCCOPY);
            memory.SelectObject(old);
        }
        textLeft = x + frameWidth + 4;
    }
    if (m_view != 2) {
        CFont* font = CKelGuiFont::GetFont();
        CFont* oldFont = font ? dc.SelectObject(font) : nullptr;
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(frame == kFrameDisabled ? kTextDisabled : kText);
        CRect text(textLeft, client.top, client.right - 3, client.bottom);
        dc.DrawText(GetWindowText(), text,
                    (m_view == 1 ? DT_CENTER : DT_LEFT) | DT_VCENTER | DT_SINGLELINE);
        if (oldFont)
            dc.SelectObject(oldFont);
    }
}

BOOL CKelBmpToolNormalBtn::Create(HINSTANCE module, UINT bitmapId, const CRect& rect, CWnd* parent,
                                  UINT id, COLORREF transparent) {
    if (!parent || GetSafeHwnd())
        return FALSE;
    if (!SetReliefBitmap(module, bitmapId, transparent))
        return FALSE;
    SetLook(0, 2);
    return CButton::Create("", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, rect, parent, id);
}
