// CDialog: a window made from a dialog template. Controls are created through a registry of
// control factories keyed by window class name ("BUTTON", "LISTBOX", ...), so that each
// control class of the framework makes its own kind of object; a class name nobody registered
// gets a plain CWnd. Positions in templates are dialog units, mapped to pixels with the
// backend's fixed base units.
#pragma once

#include "platform/resource_types.h"
#include "platform/wnd.h"

#include <functional>
#include <memory>

class CDialog;

// What DoDataExchange works with. Only control binding is needed by the editor.
class CDataExchange {
public:
    CDataExchange(CDialog* dlg, BOOL saveAndValidate)
        : m_pDlgWnd(dlg), m_bSaveAndValidate(saveAndValidate) {}
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds the template control `id` of the dialog to `control` (SubclassDlgItem) the first time;
// later exchanges leave an already bound control alone.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

class CDialog : public CWnd {
public:
    CDialog() = default;
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_templateId(templateId), m_parentForModal(parent) {}
    ~CDialog() override;

    // Modeless creation from a template: the dialog window, its controls, WM_SETFONT,
    // WM_INITDIALOG. The dialog is shown when the template has WS_VISIBLE.
    BOOL CreateIndirect(const DialogTemplate& dlgTemplate, CWnd* parent = nullptr);
    // Modeless creation from a template found by id through the installed template resolver.
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Modal: creates the dialog from its template (InitModalIndirect, else the id given to the
    // constructor), runs the backend's modal loop with the owner disabled, and destroys the
    // window. Returns the EndDialog result (IDCANCEL when the backend ends it, -1 when there is
    // no template or the creation failed).
    virtual INT_PTR DoModal();
    BOOL InitModalIndirect(const DialogTemplate& dlgTemplate, CWnd* parent = nullptr);
    void EndDialog(int result);
    // The modal loop's state: backends poll it.
    bool IsModalLoopDone() const { return m_modalDone; }
    int GetModalResult() const { return m_modalResult; }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* dx);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Dialog units to pixels: x by the horizontal base unit / 4, y by the vertical / 8.
    void MapDialogRect(CRect* rect) const;
    void MapDialogRect(CRect& rect) const { MapDialogRect(&rect); }
    // The dialog's keyboard interface: Enter -> IDOK, Escape -> IDCANCEL. TRUE when the message
    // was consumed.
    BOOL IsDialogMessage(MSG* msg);

    BOOL PreTranslateMessage(MSG* msg) override;
    void CheckRadioButton(int firstId, int lastId, int checkId);
    void SetDefID(UINT id) { m_defId = id; }
    UINT GetDefID() const { return m_defId; }

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // WM_CLOSE becomes a click on Cancel, as dialogs do.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    BOOL CreateControls(const DialogTemplate& dlgTemplate);

    UINT m_templateId = 0;
    CWnd* m_parentForModal = nullptr;
    std::unique_ptr<DialogTemplate> m_template;
    std::unique_ptr<CFont> m_dialogFont;
    // Controls made from the template; an entry becomes null when a member object took the
    // window over (SubclassDlgItem), so the owner of each window stays clear.
    std::vector<std::unique_ptr<CWnd>> m_templateControls;
    UINT m_defId = IDOK;
    bool m_modal = false;
    bool m_modalDone = false;
    int m_modalResult = 0;
};

namespace kel::platform {

// Makes the control object for a template item of the given window class. Registered by the
// control classes; the dialog owns what the factory returns.
using ControlFactory = std::function<std::unique_ptr<CWnd>()>;
void RegisterControlFactory(const CString& windowClass, ControlFactory factory);
std::unique_ptr<CWnd> MakeControl(const CString& windowClass);

// Finds the dialog template of an id (the host's resource service installs one); null when
// there is none.
using DialogTemplateResolver = std::function<const DialogTemplate*(UINT templateId)>;
void SetDialogTemplateResolver(DialogTemplateResolver resolver);

} // namespace kel::platform
