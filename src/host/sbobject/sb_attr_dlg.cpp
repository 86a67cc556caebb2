#include "host/sbobject/sb_attr_dlg.h"

#include "host/sbobject/sb_content.h"
#include "platform/gdi.h"
#include "platform/win_consts.h"

#include <charconv>

namespace {

CString NumberText(unsigned long long value) {
    CString text;
    text.Format("%llu", value);
    return text;
}

// Whole decimal numbers only, surrounding blanks allowed.
bool ParseNumber(CString text, unsigned long long limit, unsigned long long& out) {
    text.Trim();
    const std::string& s = text.str();
    unsigned long long value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty() || value > limit)
        return false;
    out = value;
    return true;
}

DialogItemTemplate Item(UINT id, const char* cls, const char* caption, DWORD style, int x, int y,
                        int cx, int cy) {
    return DialogItem(id, cls, caption, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy);
}

} // namespace

CKelSBBodyAttrDlg::CKelSBBodyAttrDlg(const CKelSBBodyAttr& attr, CWnd* pParent) : m_attr(attr) {
    InitModalIndirect(MakeTemplate(), pParent);
}

DialogTemplate CKelSBBodyAttrDlg::MakeTemplate() {
    DialogTemplate t;
    t.caption = "Storyboard Properties";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    t.cx = 200;
    t.cy = 130;
    t.fontName = "Times New Roman";
    t.fontSize = 9;
    t.items = {
        Item(0xFFFF, "STATIC", "Name:", SS_LEFT, 7, 9, 60, 8),
        Item(IDC_SB_NAME, "EDIT", "", WS_TABSTOP | WS_BORDER, 70, 7, 123, 12),
        Item(IDC_SB_FRAME_DISPLAY, "BUTTON", "Show times as frames", BS_AUTOCHECKBOX | WS_TABSTOP,
             7, 25, 186, 10),
        Item(0xFFFF, "STATIC", "Track height:", SS_LEFT, 7, 42, 60, 8),
        Item(IDC_SB_TRACK_HEIGHT, "EDIT", "", WS_TABSTOP | WS_BORDER, 70, 40, 40, 12),
        Item(IDC_SB_PLAY_RANGE_ONLY, "BUTTON", "Play only the marked range",
             BS_AUTOCHECKBOX | WS_TABSTOP, 7, 58, 186, 10),
        Item(0xFFFF, "STATIC", "Range start:", SS_LEFT, 7, 75, 60, 8),
        Item(IDC_SB_RANGE_START, "EDIT", "", WS_TABSTOP | WS_BORDER, 70, 73, 60, 12),
        Item(0xFFFF, "STATIC", "Range end:", SS_LEFT, 7, 91, 60, 8),
        Item(IDC_SB_RANGE_END, "EDIT", "", WS_TABSTOP | WS_BORDER, 70, 89, 60, 12),
        Item(IDOK, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 86, 110, 50, 14),
        Item(IDCANCEL, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 143, 110, 50, 14),
    };
    return t;
}

BOOL CKelSBBodyAttrDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    auto setText = [this](UINT id, const CString& text) {
        if (CWnd* pItem = GetDlgItem(static_cast<int>(id)))
            pItem->SetWindowText(text.GetString());
    };
    auto setCheck = [this](UINT id, int bChecked) {
        if (CWnd* pItem = GetDlgItem(static_cast<int>(id)))
            pItem->SendMessage(BM_SETCHECK, bChecked ? BST_CHECKED : 0);
    };
    setText(IDC_SB_NAME, m_attr.strName);
    setCheck(IDC_SB_FRAME_DISPLAY, m_attr.nFrameDisplay);
    setText(IDC_SB_TRACK_HEIGHT, NumberText(static_cast<unsigned>(m_attr.nTrackHeight)));
    setCheck(IDC_SB_PLAY_RANGE_ONLY, m_attr.nPlayRangeOnly);
    setText(IDC_SB_RANGE_START, NumberText(m_attr.dwRangeStart));
    setText(IDC_SB_RANGE_END, NumberText(m_attr.dwRangeEnd));
    return TRUE;
}

void CKelSBBodyAttrDlg::OnOK() {
    auto text = [this](UINT id) {
        CWnd* pItem = GetDlgItem(static_cast<int>(id));
        return pItem ? pItem->GetWindowText() : CString();
    };
    auto checked = [this](UINT id) {
        CWnd* pItem = GetDlgItem(static_cast<int>(id));
        return pItem != nullptr && pItem->SendMessage(BM_GETCHECK) == BST_CHECKED ? 1 : 0;
    };
    CString name = text(IDC_SB_NAME);
    name.Trim();
    if (!name.IsEmpty())
        m_attr.strName = name;
    m_attr.nFrameDisplay = checked(IDC_SB_FRAME_DISPLAY);
    m_attr.nPlayRangeOnly = checked(IDC_SB_PLAY_RANGE_ONLY);
    unsigned long long value = 0;
    if (ParseNumber(text(IDC_SB_TRACK_HEIGHT), CKelSBBodyObj::kMaxTrackHeight, value))
        m_attr.nTrackHeight = static_cast<int>(value);
    if (ParseNumber(text(IDC_SB_RANGE_START), CKelSBContentBaseObj::kMaxFrame, value))
        m_attr.dwRangeStart = static_cast<DWORD>(value);
    if (ParseNumber(text(IDC_SB_RANGE_END), CKelSBContentBaseObj::kMaxFrame, value))
        m_attr.dwRangeEnd = static_cast<DWORD>(value);
    CDialog::OnOK();
}

// Lives here rather than with the rest of the storyboard so that only this file needs the
// window classes.
int CKelSBBodyObj::EditAttr(CWnd* pParent) {
    CKelSBBodyAttrDlg dlg(m_attr, pParent);
    if (dlg.DoModal() != IDOK)
        return 0;
    const CKelSBBodyAttr before = m_attr;
    SetEditAttr(dlg.m_attr);
    return m_attr == before ? 0 : 1;
}
