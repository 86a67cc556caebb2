#include "view/view_gesture.h"

void KelSBGesture::ToPressed(CPoint ptPress) {
    ToIdle();
    m_state = KelSBGestureState::kPressed;
    m_ptPress = ptPress;
}

void KelSBGesture::ToMarkerDrag(DWORD dwMode, int nGrabOffset, DWORD dwRangeStart,
                                DWORD dwRangeEnd) {
    ToIdle();
    m_state = KelSBGestureState::kMarkerDrag;
    m_dwMarkerMode = dwMode;
    m_nMarkerGrabOffset = nGrabOffset;
    m_dwRangeStartBefore = dwRangeStart;
    m_dwRangeEndBefore = dwRangeEnd;
}

void KelSBGesture::ToScrub(DWORD dwTimeLine) {
    ToIdle();
    m_state = KelSBGestureState::kScrub;
    m_dwTimeLineBefore = dwTimeLine;
}

void KelSBGesture::ToTrim() {
    const KelSBTrimCandidate candidate = m_candidate;
    ToIdle();
    m_candidate = candidate;
    m_state = KelSBGestureState::kTrim;
}

void KelSBGesture::ToMove() {
    ToIdle();
    m_state = KelSBGestureState::kMove;
}

void KelSBGesture::ToRubberBand() {
    ToIdle();
    m_state = KelSBGestureState::kRubberBand;
}

void KelSBGesture::ToIdle() {
    if (m_state == KelSBGestureState::kTrim)
        m_candidate = KelSBTrimCandidate{};
    m_state = KelSBGestureState::kIdle;
    m_ptPress = CPoint(0, 0);
    m_dwMarkerMode = 0;
    m_nMarkerGrabOffset = 0;
}

CPoint KelSBGesture::GetPressPoint() const {
    return m_state == KelSBGestureState::kPressed ? m_ptPress : CPoint(0, 0);
}

DWORD KelSBGesture::GetMarkerMode() const {
    return m_state == KelSBGestureState::kMarkerDrag ? m_dwMarkerMode : 0;
}
