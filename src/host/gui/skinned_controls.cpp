#include "host/gui/skinned_controls.h"

#include "host/gui/skin.h"
#include "host/services/gui_font.h"

#include <algorithm>

using namespace kel::gui;

// --- CZtScrollBar

CZtScrollBar::Layout CZtScrollBar::GetLayout() const {
    CRect client;
    GetClientRect(&client);
    Layout layout;
    const bool vertical = IsVertical();
    const int length = vertical ? client.Height() : client.Width();
    const int thickness = vertical ? client.Width() : client.Height();
    const int arrow = std::min(thickness, length / 2);
    if (vertical) {
        layout.arrowBack = CRect(client.left, client.top, client.right, client.top + arrow);
        layout.arrowForward =
            CRect(client.left, client.bottom - arrow, client.right, client.bottom);
        layout.track = CRect(client.left, client.top + arrow, client.right, client.bottom - arrow);
    } else {
        layout.arrowBack = CRect(client.left, client.top, client.left + arrow, client.bottom);
        layout.arrowForward = CRect(client.right - arrow, client.top, client.right, client.bottom);
        layout.track = CRect(client.left + arrow, client.top, client.right - arrow, client.bottom);
    }
    return layout;
}

int CZtScrollBar::ThumbLength(const Layout& layout) const {
    SCROLLINFO info;
    GetScrollInfo(&info, SIF_ALL);
    const int track = IsVertical() ? layout.track.Height() : layout.track.Width();
    const long long range = static_cast<long long>(info.nMax) - info.nMin + 1;
    int length = track;
    if (info.nPage > 0 && range > 0)
        length = static_cast<int>(track * static_cast<long long>(info.nPage) / range);
    else
        length = IsVertical() ? layout.track.Width() : layout.track.Height();
    return std::clamp(length, std::min(8, track), track);
}

CRect CZtScrollBar::ThumbRectAt(const Layout& layout, int pos) const {
    SCROLLINFO info;
    GetScrollInfo(&info, SIF_ALL);
    const int span = GetScrollLimit() - info.nMin;
    const int track = IsVertical() ? layout.track.Height() : layout.track.Width();
    if (span <= 0 || track <= 0 || !IsWindowEnabled())
        return {};
    const int thumb = ThumbLength(layout);
    const int freeLength = track - thumb;
    const int offset =
        static_cast<int>(static_cast<long long>(freeLength) *
                         (std::clamp(pos, info.nMin, GetScrollLimit()) - info.nMin) / span);
    if (IsVertical())
        return CRect(layout.track.left, layout.track.top + offset, layout.track.right,
                     layout.track.top + offset + thumb);
    return CRect(layout.track.left + offset, layout.track.top, layout.track.left + offset + thumb,
                 layout.track.bottom);
}

int CZtScrollBar::PosFromThumbStart(int start) const {
    const Layout layout = GetLayout();
    SCROLLINFO info;
    GetScrollInfo(&info, SIF_ALL);
    const int limit = GetScrollLimit();
    const int span = limit - info.nMin;
    const int trackStart = IsVertical() ? layout.track.top : layout.track.left;
    const int track = IsVertical() ? layout.track.Height() : layout.track.Width();
    const int freeLength = track - ThumbLength(layout);
    if (span <= 0 || freeLength <= 0)
        return info.nMin;
    const long long moved = std::clamp(start - trackStart, 0, freeLength);
    const int pos = info.nMin + static_cast<int>((moved * span + freeLength / 2) / freeLength);
    return std::clamp(pos, info.nMin, limit);
}

CRect CZtScrollBar::GetThumbRect() const {
    return ThumbRectAt(GetLayout(), m_dragging ? m_dragPos : GetScrollPos());
}

CZtScrollBar::Part CZtScrollBar::HitTest(CPoint point) const {
    const Layout layout = GetLayout();
    if (layout.arrowBack.PtInRect(point))
        return kArrowBack;
    if (layout.arrowForward.PtInRect(point))
        return kArrowForward;
    if (!layout.track.PtInRect(point))
        return kNone;
    const CRect thumb = GetThumbRect();
    if (thumb.IsRectEmpty())
        return kNone;
    if (thumb.PtInRect(point))
        return kThumb;
    const bool before = IsVertical() ? point.y < thumb.top : point.x < thumb.left;
    return before ? kPageBack : kPageForward;
}

void CZtScrollBar::OnLButtonDown(UINT /*flags*/, CPoint point) {
    if (!IsWindowEnabled())
        return;
    switch (HitTest(point)) {
    case kArrowBack:
        m_pressed = true;
        SetCapture();
        UserScroll(SB_LINEUP);
        break;
    case kArrowForward:
        m_pressed = true;
        SetCapture();
        UserScroll(SB_LINEDOWN);
        break;
    case kPageBack:
        m_pressed = true;
        SetCapture();
        UserScroll(SB_PAGEUP);
        break;
    case kPageForward:
        m_pressed = true;
        SetCapture();
        UserScroll(SB_PAGEDOWN);
        break;
    case kThumb: {
        const CRect thumb = GetThumbRect();
        m_grabOffset = IsVertical() ? point.y - thumb.top : point.x - thumb.left;
        m_dragPos = GetScrollPos();
        m_dragging = true;
        SetCapture();
        break;
    }
    case kNone:
        break;
    }
    Invalidate(FALSE);
}

void CZtScrollBar::OnLButtonDblClk(UINT flags, CPoint point) {
    OnLButtonDown(flags, point);
}

void CZtScrollBar::OnMouseMove(UINT /*flags*/, CPoint point) {
    if (!m_dragging)
        return;
    const int start = (IsVertical() ? point.y : point.x) - m_grabOffset;
    const int pos = PosFromThumbStart(start);
    if (pos == m_dragPos)
        return;
    m_dragPos = pos;
    UserScroll(SB_THUMBTRACK, pos);
    if (GetSafeHwnd())
        Invalidate(FALSE);
}

void CZtScrollBar::EndThumbDrag(bool commit) {
    if (!m_dragging)
        return;
    m_dragging = false;
    if (commit)
        UserScroll(SB_THUMBPOSITION, m_dragPos);
    UserScroll(SB_ENDSCROLL);
    if (GetSafeHwnd())
        Invalidate(FALSE);
}

void CZtScrollBar::OnLButtonUp(UINT /*flags*/, CPoint /*point*/) {
    if (m_dragging) {
        EndThumbDrag(true);
    } else if (m_pressed) {
        m_pressed = false;
        UserScroll(SB_ENDSCROLL);
        Invalidate(FALSE);
    }
    if (GetCapture() == this)
        ReleaseCapture();
}

void CZtScrollBar::OnCaptureChanged(CWnd* wnd) {
    // Losing the mouse mid-drag leaves the thumb where the parent last saw it.
    EndThumbDrag(true);
    m_pressed = false;
    CScrollBar::OnCaptureChanged(wnd);
}

COLORREF CZtScrollBar::TrackColour() const {
    return kZtTrack;
}
COLORREF CZtScrollBar::ThumbColour() const {
    return kZtThumb;
}

BOOL CZtScrollBar::OnEraseBkgnd(CDC* /*dc*/) {
    return TRUE;
}

void CZtScrollBar::OnPaint() {
    CPaintDC dc(this);
    const Layout layout = GetLayout();
    const bool enabled = IsWindowEnabled() != FALSE;
    dc.FillSolidRect(layout.track, TrackColour());
    const COLORREF glyph = enabled ? kText : kTextDisabled;
    DrawBevel(dc, layout.arrowBack, kFace, false);
    DrawArrow(dc, layout.arrowBack, IsVertical() ? 2 : 0, glyph);
    DrawBevel(dc, layout.arrowForward, kFace, false);
    DrawArrow(dc, layout.arrowForward, IsVertical() ? 3 : 1, glyph);
    const CRect thumb = GetThumbRect();
    if (!thumb.IsRectEmpty())
        DrawBevel(dc, thumb, ThumbColour(), false);
}

int CKelAquaScrollBar::GetScrollLimit() const {
    if (!m_fullRange)
        return CZtScrollBar::GetScrollLimit();
    int minPos = 0;
    int maxPos = 0;
    GetScrollRange(&minPos, &maxPos);
    return maxPos;
}

COLORREF CKelAquaScrollBar::TrackColour() const {
    return kAquaTrack;
}
COLORREF CKelAquaScrollBar::ThumbColour() const {
    return kAquaThumb;
}

// --- CZtComboBox

CRect CZtComboBox::GetFaceRect() const {
    CRect client;
    GetClientRect(&client);
    client.bottom = std::min(client.bottom, client.top + kFaceHeight);
    return client;
}

COLORREF CZtComboBox::FaceColour() const {
    return RGB(236, 236, 236);
}
COLORREF CKelAquaComboBox::FaceColour() const {
    return RGB(226, 234, 244);
}

BOOL CZtComboBox::OnEraseBkgnd(CDC* /*dc*/) {
    return TRUE;
}

void CZtComboBox::OnPaint() {
    CPaintDC dc(this);
    const CRect face = GetFaceRect();
    const bool enabled = IsWindowEnabled() != FALSE;
    dc.FillSolidRect(face, enabled ? FaceColour() : kFace);
    dc.Draw3dRect(face, kShadow, kLight);
    CRect arrow(face.right - face.Height(), face.top, face.right, face.bottom);
    arrow.DeflateRect(1, 1);
    DrawBevel(dc, arrow, kFace, GetDroppedState() != FALSE);
    DrawArrow(dc, arrow, 3, enabled ? kText : kTextDisabled);

    CFont* font = GetFont() ? GetFont() : CKelGuiFont::GetFont();
    CFont* oldFont = font ? dc.SelectObject(font) : nullptr;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(enabled ? kText : kTextDisabled);
    const int sel = GetCurSel();
    CRect text(face.left + 4, face.top, arrow.left - 2, face.bottom);
    dc.DrawText(sel >= 0 ? GetLBText(sel) : CString(), text,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);

    if (GetDroppedState()) {
        // The open list, one face-high row per entry, below the box.
        CRect client;
        GetClientRect(&client);
        for (int i = 0; i < GetCount(); ++i) {
            const CRect row(face.left, face.bottom + i * kFaceHeight, face.right,
                            face.bottom + (i + 1) * kFaceHeight);
            if (row.top >= client.bottom)
                break;
            const bool current = i == sel;
            dc.FillSolidRect(row, current ? kCaption : FaceColour());
            dc.SetTextColor(current ? kCaptionText : kText);
            CRect itemText = row;
            itemText.DeflateRect(4, 0);
            dc.DrawText(GetLBText(i), itemText,
                        DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        }
    }
    if (oldFont)
        dc.SelectObject(oldFont);
}

void CZtComboBox::OnLButtonDown(UINT /*flags*/, CPoint point) {
    if (!IsWindowEnabled())
        return;
    SetFocus();
    CWnd* parent = GetParent();
    const CRect face = GetFaceRect();
    const auto notify = [&](int code) {
        if (parent)
            parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), code),
                                reinterpret_cast<LPARAM>(this));
    };
    if (face.PtInRect(point)) {
        const bool open = !GetDroppedState();
        ShowDropDown(open);
        notify(open ? CBN_DROPDOWN : CBN_CLOSEUP);
        Invalidate(FALSE);
        return;
    }
    if (!GetDroppedState())
        return;
    const int index = (point.y - face.bottom) / kFaceHeight;
    ShowDropDown(FALSE);
    notify(CBN_CLOSEUP);
    Invalidate(FALSE);
    if (point.y >= face.bottom && index < GetCount() && index != GetCurSel())
        UserSelect(index);
}

void CZtComboBox::StepSelection(int step) {
    const int count = GetCount();
    if (count == 0 || !IsWindowEnabled())
        return;
    const int current = GetCurSel();
    const int next = std::clamp(current < 0 ? 0 : current + step, 0, count - 1);
    if (next != current) {
        UserSelect(next);
        Invalidate(FALSE);
    }
}

void CZtComboBox::OnKeyDown(UINT ch, UINT repeat, UINT flags) {
    if (ch == VK_DOWN || ch == VK_UP) {
        StepSelection(ch == VK_DOWN ? 1 : -1);
        return;
    }
    CComboBox::OnKeyDown(ch, repeat, flags);
}

BOOL CZtComboBox::OnMouseWheel(UINT /*flags*/, short delta, CPoint /*point*/) {
    if (delta != 0)
        StepSelection(delta > 0 ? -1 : 1);
    return TRUE;
}
