#include "view/gestures/gesture_handler.h"

#include "view/sbedit_view.h"

#include <algorithm>

DWORD KelSBGestureHandler::FrameAtLeastZero(int nFrame) {
    return static_cast<DWORD>(std::max(0, nFrame));
}

KelSBGesture& KelSBGestureHandler::Record(CKelSBEditView& view) {
    return view.m_gesture;
}

void KelSBGestureHandler::End(CKelSBEditView& view) {
    view.m_gesture.ToIdle();
    if (CWnd::GetCapture() == &view)
        ReleaseCapture();
}

int KelSBGestureHandler::DragSelection(CKelSBEditView& view, CPoint point, UINT /*nFlags*/) {
    return view.DragDrop().BeginDragOfSelection(point);
}

void KelSBGestureHandler::ForgetDrag(CKelSBEditView& view) {
    view.DragDrop().ResetDrag();
}

void KelSBGestureHandler::DrawMarkerFeedback(CKelSBEditView& view) {
    view.DrawMarkerFeedback();
}

void KelSBGestureHandler::DrawTrimFeedback(CKelSBEditView& view) {
    view.DrawTrimFeedback();
}

void KelSBGestureHandler::ApplyTrim(CKelSBEditView& view, const KelSBTrimCandidate& trim) {
    view.ApplyTrim(trim);
}

KelSBGestureHandler* KelSBGestureHandlerOf(KelSBGestureState state) {
    switch (state) {
    case KelSBGestureState::kPressed:
        return &KelSBPressHandler();
    case KelSBGestureState::kMarkerDrag:
        return &KelSBMarkerDragHandler();
    case KelSBGestureState::kScrub:
        return &KelSBScrubHandler();
    case KelSBGestureState::kTrim:
        return &KelSBTrimHandler();
    case KelSBGestureState::kMove:
        return &KelSBMoveHandler();
    case KelSBGestureState::kRubberBand:
        return &KelSBRubberBandHandler();
    case KelSBGestureState::kIdle:
        break;
    }
    return nullptr;
}
