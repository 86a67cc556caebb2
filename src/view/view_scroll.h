// Where the timeline looks and at what scale: the two scroll positions and their ranges, the
// zoom (the zoom table's entries, fit to window, the stepless bar) and the wheel. It exists so
// that the scroll bars of the top strip and the storyboard's frames per unit change together
// in one place, and so that the geometry reads the positions from one object.
//
// The scroll bars keep the positions (in logical pixels); this object reads them back from
// there. The controls belong to the view, which creates and lays them out.
#pragma once

#include "platform/cstring.h"
#include "platform/geometry.h"
#include "platform/win_types.h"

#include <array>

class CKelSBEditView;
class CKelAquaScrollBar;
class CKelComboPopupMenu;
class CScrollBar;

class KelSBViewScroll {
public:
    // The zoom menu button has no id of its own in the resources; this one collides with none.
    static constexpr UINT kZoomMenuButtonId = 104;

    KelSBViewScroll(CKelSBEditView& view, CKelAquaScrollBar& hScroll, CKelAquaScrollBar& vScroll,
                    CKelAquaScrollBar& zoomBar, CKelComboPopupMenu& zoomMenu)
        : m_view(view), m_HScroll(hScroll), m_VScroll(vScroll), m_ZoomBar(zoomBar),
          m_ZoomMenuBtn(zoomMenu) {}

    // ---- Scroll positions and ranges.
    int GetHScrollPos() const;
    int GetVScrollPos() const;
    void SetHScrollPos(int nPos);
    void SetVScrollPos(int nPos);
    void ScrollHorz(int nDelta);
    void UpdateHRange();
    void UpdateVRange();
    // A scroll message of one of the view's bars (the horizontal, vertical or zoom bar).
    void OnScrollBar(UINT nSBCode, CScrollBar* pScrollBar);
    void EnsureVisible(int nFrame);
    void Center(int nFrame);
    void ScrollFrameToX(int nFrame, int x);

    // ---- Zoom.
    void UpdateZoomBarRange();
    void SetZoomBarToFPU(DWORD dwFramesPerUnit);
    void ShowCurrentZoom();
    CString GetZoomText(DWORD dwFramesPerUnit) const;
    // 0 for an index outside the table or without a storyboard.
    int SetZoomIndex(int nIndex);
    // One step of the zoom table in or out, from the zoom menu's current entry.
    void ZoomStep(int bIn);
    // Zoom menu entry nIndex; 0 for an index outside the table or without a storyboard.
    int ZoomToIndex(int nIndex);
    void ZoomTo(int nIndex, int bSetDirty);
    // Frames per unit so that the whole storyboard fits the time area.
    void FitToWindow();
    // Any frames per unit (clamped to the zoom table's range), the time line kept in place.
    void SteplessZoom(int nFramesPerUnit);
    // The mouse wheel, as every timeline editor has it: the wheel scrolls the tracks, with Shift
    // (or tilted) it scrolls time, with Ctrl it zooms one step of the zoom table per notch
    // around the frame under the cursor (a screen point). Nothing while a gesture runs.
    void Wheel(int nDelta, bool bTime, bool bZoom, CPoint screen);

private:
    // What every change of scale but the stepless one does after it.
    void AfterScaleChange(int bSetDirty);

    CKelSBEditView& m_view;
    CKelAquaScrollBar& m_HScroll;
    CKelAquaScrollBar& m_VScroll;
    CKelAquaScrollBar& m_ZoomBar;
    CKelComboPopupMenu& m_ZoomMenuBtn;
    // What a wheel turned short of a notch (fine-grained wheels and touchpads), per direction
    // of scrolling: tracks, time, zoom.
    std::array<int, 3> m_wheelRest{};
};
