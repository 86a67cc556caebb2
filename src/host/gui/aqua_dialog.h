// Skinned dialogs. CZtDialog paints a flat skinned client area; CKelAquaBaseDlg adds creation
// from a module's dialog template through the resource service and a skinned frame and caption.
#pragma once

#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/gdi.h"
#include "platform/recording_dc.h"
#include "platform/win_types.h"

#include <memory>
#include <vector>

class CZtDialog : public CDialog {
public:
    CZtDialog();
    explicit CZtDialog(UINT templateId, CWnd* parent = nullptr);
    ~CZtDialog() override;

protected:
    BOOL OnEraseBkgnd(CDC* dc) override;
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) override;

    CBrush m_faceBrush;
};

class CKelAquaBaseDlg : public CZtDialog {
public:
    CKelAquaBaseDlg() = default;
    explicit CKelAquaBaseDlg(UINT templateId, CWnd* parent = nullptr);
    ~CKelAquaBaseDlg() override;

    // Modeless creation from template `templateId` of `module`. FALSE when the module or the
    // template is unknown, or the creation failed.
    BOOL DlgCreate(HINSTANCE module, UINT templateId, CWnd* parent);
    // Runs the dialog modally from the template given at construction, found in `module`.
    // -1 when the template is unknown.
    INT_PTR DlgDoModal(HINSTANCE module);

    // Whether the skinned frame replaces the default one (on by default).
    void SetAquaNcPaint(int enable) { m_aquaNcPaint = enable != 0; }
    int GetAquaNcPaint() const { return m_aquaNcPaint; }
    // Sets the caption and repaints the skinned frame that shows it.
    void SetAquaWindowText(const CString& text);

    // Paints frame, caption bar and close box on `dc`, whose origin is the window's top-left.
    void DrawAquaFrame(CDC& dc) const;
    // The frame as last painted (this platform has no window DC; a backend replays it).
    const kel::platform::DrawLog& GetFrameDrawing() const { return m_frameLog; }
    int GetFramePaintCount() const { return m_framePaints; }
    // The close box, in window coordinates (origin at the window's top-left).
    CRect GetCloseBoxRect() const;

protected:
    void OnNcPaint() override;
    void OnNcLButtonDown(UINT hitTest, CPoint point) override;
    void OnActivate(UINT state, CWnd* other, BOOL minimized) override;

    // Paints the frame now through the skin (whatever the flag says).
    void PaintAquaFrame();

private:
    UINT m_templateId = 0;
    CWnd* m_modalParent = nullptr; // the owner of a modal run; not owned
    int m_aquaNcPaint = 1;
    bool m_active = false;
    kel::platform::DrawLog m_frameLog;
    int m_framePaints = 0;
};

// A skinned push button. A template marks the push buttons the skin draws with "@p" at the end
// of their captions; the mark stays part of the caption text (GetWindowText has it) but is
// never drawn.
class CKelAquaPushBtn : public CButton {
public:
    static constexpr const char* kMark = "@p";

    static bool HasMark(const CString& caption);
    // What the button shows of a caption: the caption without its mark.
    static CString ShownCaption(const CString& caption);

protected:
    void OnPaint() override;
};

// Skins the controls of a dialog once it exists: gives every control the host's GUI font, and
// takes over the push buttons that carry the skin's mark.
class CKelAquaAutoMaker {
public:
    CKelAquaAutoMaker();
    virtual int AutoMakeDialog(CWnd* dialog);
    virtual ~CKelAquaAutoMaker();
    CKelAquaAutoMaker(const CKelAquaAutoMaker&) = delete;
    CKelAquaAutoMaker& operator=(const CKelAquaAutoMaker&) = delete;

    CWnd* GetDialog() const { return m_dialog; }

private:
    CWnd* m_dialog = nullptr; // not owned: the dialog owns this object
    std::vector<std::unique_ptr<CKelAquaPushBtn>> m_pushButtons;
};
