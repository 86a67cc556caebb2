// Bitmap buttons. The bitmap is a strip of four equal frames side by side: normal, hot (the mouse
// is over it), pressed and disabled. A strip of a single frame serves every state.
#pragma once

#include "platform/controls.h"
#include "platform/gdi.h"
#include "platform/win_types.h"

class CKelBmpReliefBtn : public CButton {
public:
    enum Frame { kFrameNormal = 0, kFrameHot = 1, kFramePressed = 2, kFrameDisabled = 3 };
    // Looks: type 0 raises a relief edge while hot and sinks it while pressed, type 1 stays flat.
    // View 0 shows the bitmap left of the caption, 1 the caption alone, 2 the bitmap alone.
    static constexpr COLORREF kNoTransparentColour = 0xFFFFFFFF;

    CKelBmpReliefBtn();
    ~CKelBmpReliefBtn() override;

    using CWnd::SubclassDlgItem;
    // Takes over the template button `id` of `parent` with bitmap `bitmapId` of `module`.
    // Pixels of `transparent` show the face (kNoTransparentColour: none). FALSE, leaving the
    // template button as it is, when the bitmap or the button cannot be found.
    BOOL SubclassDlgItem(UINT id, CWnd* parent, HINSTANCE module, int type, int view, UINT bitmapId,
                         COLORREF transparent);

    // Replaces the bitmap; FALSE when the module has no such bitmap.
    BOOL SetReliefBitmap(HINSTANCE module, UINT bitmapId, COLORREF transparent);
    UINT GetBitmapId() const { return m_bitmapId; }
    // The frame that the button's state selects now.
    int GetDrawFrame() const;
    bool IsHot() const { return m_hot; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnCaptureChanged(CWnd* wnd) override;
    void OnEnable(BOOL enable) override;

    void DrawButton(CDC& dc);
    void SetLook(int type, int view) {
        m_type = type;
        m_view = view;
    }

private:
    void SetHot(bool hot);

    CBitmap m_bitmap;
    UINT m_bitmapId = 0;
    int m_type = 0;
    int m_view = 2;
    bool m_hot = false;
};

// The small tool buttons of a view, made by code rather than from a template.
class CKelBmpToolNormalBtn : public CKelBmpReliefBtn {
public:
    // A push button at `rect` of `parent` showing bitmap `bitmapId` of `module`. FALSE when the
    // bitmap is unknown or the window cannot be made.
    BOOL Create(HINSTANCE module, UINT bitmapId, const CRect& rect, CWnd* parent, UINT id,
                COLORREF transparent = kNoTransparentColour);
    using CButton::Create;
};
