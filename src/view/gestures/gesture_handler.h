// One handler per gesture of the left button: what its press begins, what moving does while it
// runs, what the release ends and what a cancel takes back. The view's mouse handlers only ask
// for the handler of the running state and pass the event on, so a new gesture is one state of
// KelSBGesture and one handler in a file of its own (listed in KelSBGestureHandlerOf).
//
// Handlers keep nothing themselves: what a gesture remembers is the view's KelSBGesture record,
// so one handler object serves every view.
#pragma once

#include "view/view_gesture.h"

#include "platform/geometry.h"
#include "platform/win_types.h"

class CKelSBEditView;

class KelSBGestureHandler {
public:
    virtual ~KelSBGestureHandler() = default;

    // The press (client point) that may start the gesture; false when it does not, and then
    // nothing changed.
    virtual bool Begin(CKelSBEditView& view, UINT nFlags, CPoint point) = 0;
    // The cursor moved while the gesture runs, outside the header column.
    virtual void Move(CKelSBEditView& /*view*/, UINT /*nFlags*/, CPoint /*point*/) {}
    // The left button came up.
    virtual void Release(CKelSBEditView& /*view*/) {}
    // Escape, a host's request, or (when CancelsWhenMouseLost) another window taking the mouse:
    // the gesture ends and what it did is taken back.
    virtual void Cancel(CKelSBEditView& /*view*/) {}
    // Gestures that hold the mouse capture end when another window takes it; a press holds
    // none, and a move and a rubber band run loops of their own.
    virtual bool CancelsWhenMouseLost() const { return false; }

protected:
    // A frame from a client x that may lie left of frame 0.
    static DWORD FrameAtLeastZero(int nFrame);
    // The view's record of the running gesture.
    static KelSBGesture& Record(CKelSBEditView& view);
    // Back to idle and the capture given up (the capture handler then sees nothing running).
    static void End(CKelSBEditView& view);
    // The view's own drag of its selected materials, from the point; 0 when none started.
    static int DragSelection(CKelSBEditView& view, CPoint point, UINT nFlags);
    // Forgets the drag record, so that the running drag's drop is refused.
    static void ForgetDrag(CKelSBEditView& view);
    // The XOR feedback of a marker drag and of a trim, drawn again to erase it.
    static void DrawMarkerFeedback(CKelSBEditView& view);
    static void DrawTrimFeedback(CKelSBEditView& view);
    // The released trim's material made current and its new length recorded as one step.
    static void ApplyTrim(CKelSBEditView& view, const KelSBTrimCandidate& trim);
};

// The handlers, each in its own file.
KelSBGestureHandler& KelSBPressHandler();
KelSBGestureHandler& KelSBMarkerDragHandler();
KelSBGestureHandler& KelSBScrubHandler();
KelSBGestureHandler& KelSBTrimHandler();
KelSBGestureHandler& KelSBMoveHandler();
KelSBGestureHandler& KelSBRubberBandHandler();

// The handler of a state, null for idle.
KelSBGestureHandler* KelSBGestureHandlerOf(KelSBGestureState state);
