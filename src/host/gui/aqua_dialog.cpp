#include "host/gui/aqua_dialog.h"

#include "host/gui/skin.h"
#include "host/services/gui_font.h"
#include "host/services/module_rc.h"

#include <algorithm>

using namespace kel::gui;

// --- CZtDialog

CZtDialog::CZtDialog() {
    m_faceBrush.CreateSolidBrush(kFace);
}

CZtDialog::CZtDialog(UINT templateId, CWnd* parent) : CDialog(templateId, parent) {
    m_faceBrush.CreateSolidBrush(kFace);
}

CZtDialog::~CZtDialog() = default;

BOOL CZtDialog::OnEraseBkgnd(CDC* dc) {
    if (!dc)
        return FALSE;
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(client, kFace);
    return TRUE;
}

HBRUSH CZtDialog::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) {
    if (dc &&
        (ctlColor == CTLCOLOR_DLG || ctlColor == CTLCOLOR_STATIC || ctlColor == CTLCOLOR_BTN)) {
        dc->SetBkColor(kFace);
        dc->SetTextColor(kText);
        return &m_faceBrush;
    }
    return CDialog::OnCtlColor(dc, wnd, ctlColor);
}

// --- CKelAquaBaseDlg

CKelAquaBaseDlg::CKelAquaBaseDlg(UINT templateId, CWnd* parent)
    : CZtDialog(templateId, parent), m_templateId(templateId), m_modalParent(parent) {}

CKelAquaBaseDlg::~CKelAquaBaseDlg() = default;

BOOL CKelAquaBaseDlg::DlgCreate(HINSTANCE module, UINT templateId, CWnd* parent) {
    const DialogTemplate* found = CKelModuleRC::FindDialogTemplate(module, templateId);
    if (!found || GetSafeHwnd())
        return FALSE;
    m_templateId = templateId;
    return CreateIndirect(*found, parent);
}

INT_PTR CKelAquaBaseDlg::DlgDoModal(HINSTANCE module) {
    const DialogTemplate* found = CKelModuleRC::FindDialogTemplate(module, m_templateId);
    if (!found || GetSafeHwnd())
        return -1;
    if (!InitModalIndirect(*found, m_modalParent))
        return -1;
    // Not the virtual one: a dialog's own DoModal is free to run this.
    return CZtDialog::DoModal();
}

void CKelAquaBaseDlg::SetAquaWindowText(const CString& text) {
    SetWindowText(text.GetString());
    if (GetSafeHwnd() && m_aquaNcPaint)
        PaintAquaFrame();
}

CRect CKelAquaBaseDlg::GetCloseBoxRect() const {
    if (!(GetStyle() & WS_SYSMENU))
        return {};
    CRect window;
    GetWindowRect(&window);
    const CRect insets = GetNonClientInsets();
    const int border = insets.left;
    const int side = insets.top - border - 4;
    if (side < 6)
        return {};
    const int right = window.Width() - border - 2;
    return CRect(right - side, border + 2, right, border + 2 + side);
}

void CKelAquaBaseDlg::DrawAquaFrame(CDC& dc) const {
    CRect window;
    GetWindowRect(&window);
    const CRect whole(0, 0, window.Width(), window.Height());
    const CRect insets = GetNonClientInsets();
    const CRect client(insets.left, insets.top, whole.right - insets.right,
                       whole.bottom - insets.bottom);
    const COLORREF frame = m_active ? kCaption : kCaptionInactive;

    // The four frame bands; the client area is the dialog's own.
    dc.FillSolidRect(CRect(0, 0, whole.right, client.top), frame);
    dc.FillSolidRect(CRect(0, client.top, client.left, client.bottom), frame);
    dc.FillSolidRect(CRect(client.right, client.top, whole.right, client.bottom), frame);
    dc.FillSolidRect(CRect(0, client.bottom, whole.right, whole.bottom), frame);
    dc.Draw3dRect(whole, kLight, kShadow);

    const CRect closeBox = GetCloseBoxRect();
    if (client.top > insets.left) {
        CRect caption(insets.left + 6, insets.left, whole.right - insets.right - 4, client.top);
        if (!closeBox.IsRectEmpty())
            caption.right = closeBox.left - 4;
        CFont* font = CKelGuiFont::GetFont();
        CFont* oldFont = font ? dc.SelectObject(font) : nullptr;
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(kCaptionText);
        dc.DrawText(GetWindowText(), caption,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        if (oldFont)
            dc.SelectObject(oldFont);
    }
    if (!closeBox.IsRectEmpty()) {
        DrawBevel(dc, closeBox, kFace, false);
        CPen pen(PS_SOLID, 1, kText);
        CPen* oldPen = dc.SelectObject(&pen);
        CRect cross = closeBox;
        cross.DeflateRect(3, 3);
        dc.MoveTo(cross.left, cross.top);
        dc.LineTo(cross.right, cross.bottom);
        dc.MoveTo(cross.right - 1, cross.top);
        dc.LineTo(cross.left - 1, cross.bottom);
        dc.SelectObject(oldPen);
    }
}

void CKelAquaBaseDlg::PaintAquaFrame() {
    if (!GetSafeHwnd())
        return;
    CRect window;
    GetWindowRect(&window);
    const CRect whole(0, 0, window.Width(), window.Height());
    m_frameLog.clear();
    CRecordingDC dc(whole, whole, &m_frameLog);
    DrawAquaFrame(dc);
    ++m_framePaints;
}

void CKelAquaBaseDlg::OnNcPaint() {
    if (!m_aquaNcPaint) {
        CZtDialog::OnNcPaint();
        return;
    }
    PaintAquaFrame();
}

void CKelAquaBaseDlg::OnNcLButtonDown(UINT hitTest, CPoint point) {
    if (m_aquaNcPaint) {
        CRect window;
        GetWindowRect(&window);
        const CPoint inWindow(point.x - window.left, point.y - window.top);
        if (GetCloseBoxRect().PtInRect(inWindow)) {
            SendMessage(WM_CLOSE);
            return;
        }
    }
    CZtDialog::OnNcLButtonDown(hitTest, point);
}

void CKelAquaBaseDlg::OnActivate(UINT state, CWnd* other, BOOL minimized) {
    CZtDialog::OnActivate(state, other, minimized);
    const bool active = state != WA_INACTIVE;
    if (active != m_active) {
        m_active = active;
        if (m_aquaNcPaint)
            PaintAquaFrame();
    }
}

// --- CKelAquaPushBtn

bool CKelAquaPushBtn::HasMark(const CString& caption) {
    const CString mark(kMark);
    return caption.GetLength() >= mark.GetLength() && caption.Right(mark.GetLength()) == mark;
}

CString CKelAquaPushBtn::ShownCaption(const CString& caption) {
    return HasMark(caption) ? caption.Left(caption.GetLength() - CString(kMark).GetLength())
                            : caption;
}

void CKelAquaPushBtn::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    const bool enabled = IsWindowEnabled() != FALSE;
    DrawBevel(dc, client, (GetState() & BST_PUSHED) ? kFacePressed : kFace,
              (GetState() & BST_PUSHED) != 0);
    CFont* font = GetFont() ? GetFont() : CKelGuiFont::GetFont();
    CFont* oldFont = font ? dc.SelectObject(font) : nullptr;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(enabled ? kText : kTextDisabled);
    CRect text = client;
    text.DeflateRect(2, 1);
    dc.DrawText(ShownCaption(GetWindowText()), text,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (oldFont)
        dc.SelectObject(oldFont);
}

// --- CKelAquaAutoMaker

CKelAquaAutoMaker::CKelAquaAutoMaker() = default;
CKelAquaAutoMaker::~CKelAquaAutoMaker() = default;

int CKelAquaAutoMaker::AutoMakeDialog(CWnd* dialog) {
    if (!dialog || !IsWindow(dialog))
        return 0;
    m_dialog = dialog;
    if (CFont* font = CKelGuiFont::GetFont())
        dialog->SendMessageToDescendants(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    std::vector<CWnd*> marked;
    for (CWnd* child = dialog->GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
        const DWORD type = child->GetStyle() & BS_TYPEMASK;
        if (dynamic_cast<CButton*>(child) != nullptr && !dynamic_cast<CKelAquaPushBtn*>(child) &&
            (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) &&
            CKelAquaPushBtn::HasMark(child->GetWindowText()))
            marked.push_back(child);
    }
    for (CWnd* child : marked) {
        auto button = std::make_unique<CKelAquaPushBtn>();
        if (button->SubclassWindow(child))
            m_pushButtons.push_back(std::move(button));
    }
    return 1;
}
