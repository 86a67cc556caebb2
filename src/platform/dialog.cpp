#include "platform/dialog.h"

#include "platform/backend.h"
#include "platform/gdi.h"

#include <map>
#include <string>

using kel::platform::GetBackend;

namespace {

struct DialogRegistry {
    std::map<std::string, kel::platform::ControlFactory> factories; // by upper-case class
    kel::platform::DialogTemplateResolver resolver;
};

DialogRegistry& Registry() {
    static auto* registry = new DialogRegistry;
    return *registry;
}

std::string ClassKey(const CString& windowClass) {
    CString key = windowClass;
    key.MakeUpper();
    return key.str();
}

// The first visible, enabled control with WS_TABSTOP: where a dialog's focus starts.
CWnd* FirstTabStop(CWnd& dialog) {
    for (CWnd* w = dialog.GetWindow(GW_CHILD); w; w = w->GetWindow(GW_HWNDNEXT)) {
        if ((w->GetStyle() & (WS_TABSTOP | WS_VISIBLE)) == (WS_TABSTOP | WS_VISIBLE) &&
            w->IsWindowEnabled()) {
            return w;
        }
    }
    return nullptr;
}

} // namespace

namespace kel::platform {

void RegisterControlFactory(const CString& windowClass, ControlFactory factory) {
    Registry().factories[ClassKey(windowClass)] = std::move(factory);
}

std::unique_ptr<CWnd> MakeControl(const CString& windowClass) {
    auto& factories = Registry().factories;
    const auto it = factories.find(ClassKey(windowClass));
    if (it != factories.end() && it->second) {
        if (auto control = it->second()) {
            return control;
        }
    }
    return std::make_unique<CWnd>();
}

void SetDialogTemplateResolver(DialogTemplateResolver resolver) {
    Registry().resolver = std::move(resolver);
}

} // namespace kel::platform

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (!dx || !dx->m_pDlgWnd || control.GetSafeHwnd()) {
        return; // bound already
    }
    control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd);
}

CDialog::~CDialog() {
    // The template controls are children: destroy the dialog window while they still exist.
    if (GetSafeHwnd()) {
        DestroyWindow();
    }
}

void CDialog::MapDialogRect(CRect* rect) const {
    if (!rect) {
        return;
    }
    const CSize base = GetBackend().GetDialogBaseUnits();
    rect->left = rect->left * base.cx / 4;
    rect->right = rect->right * base.cx / 4;
    rect->top = rect->top * base.cy / 8;
    rect->bottom = rect->bottom * base.cy / 8;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    const auto& resolver = Registry().resolver;
    const DialogTemplate* found = resolver ? resolver(templateId) : nullptr;
    if (!found) {
        return FALSE;
    }
    m_templateId = templateId;
    return CreateIndirect(*found, parent);
}

BOOL CDialog::CreateIndirect(const DialogTemplate& dlgTemplate, CWnd* parent) {
    if (GetSafeHwnd()) {
        return FALSE;
    }
    m_templateControls.clear(); // windowless leftovers of an earlier creation
    m_modalDone = false;
    m_modalResult = 0;

    CRect client(0, 0, dlgTemplate.cx, dlgTemplate.cy);
    MapDialogRect(&client);
    const DWORD style = dlgTemplate.style & ~WS_VISIBLE;
    // Dialog coordinates count from the owner's client area, as on Windows.
    CPoint origin(0, 0);
    if (parent && IsWindow(parent) && !(style & WS_CHILD)) {
        parent->ClientToScreen(&origin);
    }
    // The window rectangle is the client area plus the frame the style gives.
    CWnd probe;
    probe.ModifyStyle(0, style);
    const CRect insets = probe.GetNonClientInsets();
    const CRect rect(origin.x, origin.y, origin.x + client.Width() + insets.left + insets.right,
                     origin.y + client.Height() + insets.top + insets.bottom);
    if (!CreateEx(0, "#32770", dlgTemplate.caption.GetString(), style, rect, parent, 0)) {
        return FALSE;
    }
    if (!dlgTemplate.fontName.IsEmpty() && dlgTemplate.fontSize > 0) {
        m_dialogFont = std::make_unique<CFont>();
        m_dialogFont->CreatePointFont(dlgTemplate.fontSize * 10, dlgTemplate.fontName.GetString());
        SetFont(m_dialogFont.get(), FALSE);
    }
    if (!CreateControls(dlgTemplate)) {
        DestroyWindow();
        return FALSE;
    }
    const LRESULT setFocus = SendMessage(WM_INITDIALOG, 0, 0);
    if (!IsWindow(this)) {
        return FALSE;
    }
    if (setFocus) {
        if (CWnd* first = FirstTabStop(*this)) {
            first->SetFocus();
        }
    }
    if (dlgTemplate.style & WS_VISIBLE) {
        ShowWindow(SW_SHOW);
    }
    return IsWindow(this);
}

BOOL CDialog::CreateControls(const DialogTemplate& dlgTemplate) {
    for (const DialogItemTemplate& item : dlgTemplate.items) {
        std::unique_ptr<CWnd> control = kel::platform::MakeControl(item.windowClass);
        CRect rect(item.x, item.y, item.x + item.cx, item.y + item.cy);
        MapDialogRect(&rect);
        if (!control->CreateEx(0, item.windowClass.GetString(), item.caption.GetString(),
                               item.style | WS_CHILD, rect, this, item.id)) {
            return FALSE;
        }
        if (m_dialogFont) {
            control->SetFont(m_dialogFont.get(), FALSE);
        }
        m_templateControls.push_back(std::move(control));
    }
    return TRUE;
}

BOOL CDialog::InitModalIndirect(const DialogTemplate& dlgTemplate, CWnd* parent) {
    m_template = std::make_unique<DialogTemplate>(dlgTemplate);
    m_parentForModal = parent;
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    const DialogTemplate* dlgTemplate = m_template.get();
    if (!dlgTemplate && m_templateId) {
        const auto& resolver = Registry().resolver;
        dlgTemplate = resolver ? resolver(m_templateId) : nullptr;
    }
    if (!dlgTemplate || GetSafeHwnd()) {
        return -1;
    }
    CWnd* owner = IsWindow(m_parentForModal) ? m_parentForModal : AfxGetMainWnd();
    const bool disableOwner = owner && owner->IsWindowEnabled();
    m_modal = true;
    m_modalDone = false;
    m_modalResult = IDCANCEL;
    DialogTemplate shown = *dlgTemplate;
    shown.style |= WS_VISIBLE;
    if (!CreateIndirect(shown, owner)) {
        m_modal = false;
        return -1;
    }
    // The owner takes no input while the dialog runs, as on the desktop.
    if (disableOwner) {
        owner->EnableWindow(FALSE);
    }
    int result = m_modalResult;
    if (!m_modalDone) {
        result = GetBackend().RunModal(*this);
        if (m_modalDone) {
            result = m_modalResult;
        }
    }
    if (disableOwner && IsWindow(owner)) {
        owner->EnableWindow(TRUE);
    }
    if (GetSafeHwnd()) {
        DestroyWindow();
    }
    if (IsWindow(owner)) {
        owner->SetActiveWindow();
    }
    m_modal = false;
    return result;
}

void CDialog::EndDialog(int result) {
    m_modalResult = result;
    m_modalDone = true;
    if (!m_modal && GetSafeHwnd()) {
        ShowWindow(SW_HIDE); // a modeless dialog only disappears
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_INITDIALOG) {
        const BOOL focus = OnInitDialog();
        if (result) {
            *result = focus;
        }
        return TRUE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, result);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CWnd::OnCommand(wParam, lParam)) {
        return TRUE;
    }
    const int code = HIWORD(wParam);
    if (code != BN_CLICKED) {
        return FALSE;
    }
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

BOOL CDialog::IsDialogMessage(MSG* msg) {
    if (!msg || !GetSafeHwnd() || (msg->hwnd != this && !IsChild(msg->hwnd))) {
        return FALSE;
    }
    if (msg->message != WM_KEYDOWN && msg->message != WM_CHAR) {
        return FALSE;
    }
    const int key = static_cast<int>(msg->wParam);
    const bool enter = msg->message == WM_KEYDOWN ? key == VK_RETURN : key == '\r';
    const bool escape = msg->message == WM_KEYDOWN ? key == VK_ESCAPE : key == 0x1B;
    if (!enter && !escape) {
        return FALSE;
    }
    // A control that wants every key (an edit box, a custom view) keeps Enter and Escape.
    if (msg->hwnd != this && IsWindow(msg->hwnd)) {
        const LRESULT code =
            msg->hwnd->SendMessage(WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
        if (code & DLGC_WANTALLKEYS) {
            return FALSE;
        }
    }
    if (msg->message == WM_CHAR) {
        return TRUE; // the key press already acted
    }
    UINT id = IDCANCEL;
    if (enter) {
        id = m_defId;
        CWnd* button = GetDlgItem(static_cast<int>(id));
        if (button && !button->IsWindowEnabled()) {
            return TRUE; // a disabled default button does nothing
        }
    }
    CWnd* control = GetDlgItem(static_cast<int>(id));
    SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(id), BN_CLICKED),
                reinterpret_cast<LPARAM>(control));
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (CWnd::PreTranslateMessage(msg)) {
        return TRUE;
    }
    return IsDialogMessage(msg);
}

void CDialog::CheckRadioButton(int firstId, int lastId, int checkId) {
    for (int id = firstId; id <= lastId; ++id) {
        SendDlgItemMessage(id, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED);
    }
}
