// Skinned scroll bars and combo boxes. They keep the standard controls' state and messages and
// draw themselves; the scroll bars also turn mouse presses into scroll codes for their parent.
#pragma once

#include "platform/controls.h"
#include "platform/win_types.h"

class CZtScrollBar : public CScrollBar {
public:
    enum Part { kNone, kArrowBack, kPageBack, kThumb, kPageForward, kArrowForward };

    // The part of the bar under a client point.
    Part HitTest(CPoint point) const;
    // The thumb's rectangle at the bar's position (or tracking position while dragged); empty
    // when the range leaves nothing to scroll.
    CRect GetThumbRect() const;
    bool IsDraggingThumb() const { return m_dragging; }

protected:
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnCaptureChanged(CWnd* wnd) override;

    virtual COLORREF TrackColour() const;
    virtual COLORREF ThumbColour() const;

private:
    struct Layout {
        CRect arrowBack, arrowForward, track;
    };
    Layout GetLayout() const;
    int ThumbLength(const Layout& layout) const;
    CRect ThumbRectAt(const Layout& layout, int pos) const;
    int PosFromThumbStart(int start) const;
    void EndThumbDrag(bool commit);

    bool m_dragging = false;
    bool m_pressed = false; // an arrow or the track is held
    int m_grabOffset = 0;   // from the thumb's start to the press, along the bar
    int m_dragPos = 0;
};

class CKelAquaScrollBar : public CZtScrollBar {
public:
    void SetRange(int minPos, int maxPos, BOOL redraw = TRUE) {
        SetScrollRange(minPos, maxPos, redraw);
    }
    // Returns the previous position.
    int SetPos(int pos, BOOL redraw = TRUE) { return SetScrollPos(pos, redraw); }
    // SB_THUMBTRACK (5) asks for the thumb's position while a person drags it; anything else
    // for the bar's position.
    int GetPos(int which = 0) const {
        return which == static_cast<int>(SB_THUMBTRACK) ? GetTrackPos() : GetScrollPos();
    }
    // With full range on, every position from the minimum to the maximum can be set, whatever
    // the page: the page only sizes the thumb and the step of the page codes. A bar whose
    // position stands for a value rather than for the first of a page of lines needs that.
    // Off by default: then the bar clamps as a plain scroll bar does.
    void SetFullRange(BOOL fullRange) { m_fullRange = fullRange != FALSE; }
    int GetScrollLimit() const override;

protected:
    COLORREF TrackColour() const override;
    COLORREF ThumbColour() const override;

private:
    bool m_fullRange = false;
};

class CZtComboBox : public CComboBox {
public:
    // Height of the closed box; the window below it is the drop-down's room.
    static constexpr int kFaceHeight = 20;

    CRect GetFaceRect() const;

protected:
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnKeyDown(UINT ch, UINT repeat, UINT flags) override;
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point) override;

    virtual COLORREF FaceColour() const;
    void StepSelection(int step);
};

class CKelAquaComboBox : public CZtComboBox {
protected:
    COLORREF FaceColour() const override;
};
