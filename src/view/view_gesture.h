// The left button's gestures on the timeline, as one state machine.
//
//   idle --press on a material-----------> pressed --3 pixels with the button--> move --drop-->
//   idle
//                                                  --release, or a move without the button--> idle
//   idle --press in the marker band------> marker drag --release--> idle
//   idle --press in the ruler------------> scrub --release--> idle
//   idle --press on a material's edge----> trim --release: the new length--> idle
//   idle --press on empty track space----> rubber band --the band ends--> idle
//
// Escape, or another window taking the mouse, cancels the gesture that runs: the range marks
// and the time line go back to where they were at the press, a trim commits nothing, and a move
// drops nothing. A gesture that is refused changes nothing either. Each state's behaviour is a
// handler of its own (gestures/gesture_handler.h), which the view's mouse handlers pass their
// events to; everything the gestures need to remember lives here.
#pragma once

#include "edit/edit_trim.h"

#include "platform/geometry.h"
#include "platform/win_types.h"

class CKelSBContentBaseObj;

// A material edge under the cursor, kept while a trim runs.
struct KelSBTrimCandidate {
    CKelSBContentBaseObj* pContent = nullptr;
    CKelSBContentBaseObj* pPrevContent = nullptr;
    CKelSBContentBaseObj* pNextContent = nullptr;
    DWORD dwEdge = 0; // 1 story in (left edge), 2 story out (right edge)
    CPoint ptPoint;   // the press point; while trimming, x is the clamped cursor x
    int nGrabOffset = 0;
    DWORD dwEdgeFrame = 0;
    DWORD dwLowerBound = 0;
    DWORD dwUpperBound = 0;
    CRect rcMaterial;
    // Where the press was: back there, the edge stands at the material's own frame again.
    int nPressX = 0;

    // The edge as the model's trim rules see it.
    kel::edit::TrimEdge Edge() const {
        return {pContent, pPrevContent, pNextContent, dwEdge, dwLowerBound, dwUpperBound};
    }
};

// The states, in the order the automation record names them (kel::automation::kGestureNames).
enum class KelSBGestureState : int {
    kIdle = 0,
    kPressed,
    kMarkerDrag,
    kScrub,
    kTrim,
    kMove,
    kRubberBand,
};

class KelSBGesture {
public:
    KelSBGestureState GetState() const { return m_state; }
    bool Is(KelSBGestureState state) const { return m_state == state; }
    bool IsIdle() const { return m_state == KelSBGestureState::kIdle; }

    // ---- Transitions. Each starts from idle, except the move, which starts from pressed.
    void ToPressed(CPoint ptPress);
    // The marks as they were, so that a cancel can put them back.
    void ToMarkerDrag(DWORD dwMode, int nGrabOffset, DWORD dwRangeStart, DWORD dwRangeEnd);
    void ToScrub(DWORD dwTimeLine);
    // The trim candidate holds the edge being dragged.
    void ToTrim();
    void ToMove();
    void ToRubberBand();
    // Any state back to idle: the press point, the marker mode and a trim's candidate go.
    void ToIdle();

    // ---- What the states remember.
    // Where the left button went down on a material; (0, 0) unless pressed.
    CPoint GetPressPoint() const;
    // 1 range start, 2 range end, 3 the whole range; 0 unless a marker drag runs.
    DWORD GetMarkerMode() const;
    int GetMarkerGrabOffset() const { return m_nMarkerGrabOffset; }
    DWORD GetRangeStartBefore() const { return m_dwRangeStartBefore; }
    DWORD GetRangeEndBefore() const { return m_dwRangeEndBefore; }
    DWORD GetTimeLineBefore() const { return m_dwTimeLineBefore; }
    // The edge the last cursor update found (what a press there would trim), and while a trim
    // runs the edge being dragged.
    KelSBTrimCandidate& Candidate() { return m_candidate; }
    const KelSBTrimCandidate& Candidate() const { return m_candidate; }
    // Where the right button last went down outside the header column ((-1, -1) before): the
    // place a context menu's paste puts materials. No transition forgets it.
    CPoint GetRightClickPoint() const { return m_ptRightClick; }
    void SetRightClickPoint(CPoint point) { m_ptRightClick = point; }

private:
    KelSBGestureState m_state = KelSBGestureState::kIdle;
    CPoint m_ptPress{0, 0};
    DWORD m_dwMarkerMode = 0;
    int m_nMarkerGrabOffset = 0;
    DWORD m_dwRangeStartBefore = 0;
    DWORD m_dwRangeEndBefore = 0;
    DWORD m_dwTimeLineBefore = 0;
    KelSBTrimCandidate m_candidate;
    CPoint m_ptRightClick{-1, -1};
};
