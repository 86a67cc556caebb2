// Where everything of the timeline view lies: the conversions between frames, logical and
// client pixels, the rectangle of every region, track row and material, and what lies under a
// point. It exists so that painting, the gestures, the editing operations and the tests all
// take positions from one place and none computes them on its own.
//
// Nothing is cached: every answer comes from the view's client rectangle, its two scroll
// positions and the current storyboard, so a resize or a change of storyboard needs nothing
// refreshed. Only the layout constants and the zoom step table are fixed, at construction.
#pragma once

#include "platform/collections.h"
#include "platform/gdi.h"
#include "platform/geometry.h"
#include "platform/win_types.h"

#include <utility>

class CKelSBEditView;
class CKelSBTrackObj;
class CKelSBContainerObj;
class CKelSBContentBaseObj;
struct KelSBTrimCandidate;

// What lies under a point of the track area (filled by the hit test).
struct KelSBHitResult {
    int nTrackIndex = -1;
    CKelSBTrackObj* pTrack = nullptr;
    CRect rcTrackRow;
    CKelSBContainerObj* pContainer = nullptr;
    CKelSBContentBaseObj* pContent = nullptr;
    CRect rcContainerOutline;
    CRect rcContent;
};

class KelSBViewGeometry {
public:
    // Pixels one unit of the time scale spans; the storyboard's frames per unit fill it.
    static constexpr int kUnitPixels = 25;
    static constexpr int kZoomStepCount = 19;
    static constexpr int kToolButtonCount = 6;

    // The bitmaps give the size of the range handles and of the time line head; they belong to
    // the view and are read when asked, so loading them later is seen.
    KelSBViewGeometry(const CKelSBEditView& view, const CBitmap& rangeStart,
                      const CBitmap& rangeEnd, const CBitmap& timeLineHead);

    // Frames and pixels are signed so that a point left of frame 0 gives a negative frame.
    int FrameToPixel(int nFrames) const;
    int PixelToFrame(int nPixels) const;
    int LogicalToClientX(int x) const;
    int ClientToLogicalX(int x) const;
    int LogicalToClientY(int y) const;
    int ClientToLogicalY(int y) const;
    CPoint LogicalToClient(CPoint pt) const;
    CPoint ClientToLogical(CPoint pt) const;
    CRect LogicalToClient(const CRect& rc) const;
    CRect ClientToLogical(const CRect& rc) const;
    int FrameToClientX(int nFrame) const;
    int ClientXToFrame(int x) const;

    CRect GetTopStripRect() const;
    CRect GetSelectorRect() const;
    CRect GetZoomButtonRect() const;
    CRect GetZoomBarRect() const;
    CRect GetHScrollRect() const;
    CRect GetCornerBoxRect() const;
    CRect GetTimeAreaRect() const;
    CRect GetVScrollRect() const;
    CRect GetMarkerBandRect() const;
    CRect GetRulerRect() const;
    CRect GetTrackAreaRect() const;
    CRect GetHeaderColumnRect() const;
    CRect GetTrackRowsRect() const;
    CRect GetBelowStripRect() const;
    CRect GetToolButtonRect(UINT nId) const;
    CRect GetTrackRowRect(int nTrack) const;
    CRect GetTrackHeaderRect(int nTrack) const;
    CRect GetMaterialRect(const CKelSBContentBaseObj* pContent) const;
    CRect GetMaterialHitRect(const CKelSBContentBaseObj* pContent) const;
    CRect GetRangeBarRect() const;
    CRect GetRangeStartHandleRect() const;
    CRect GetRangeEndHandleRect() const;
    CRect GetRangeOutlineRect() const;
    // The time line cursor: its head in the ruler and its line down the view.
    CRect GetTimeLineHeadRect(DWORD dwFrame) const;
    CRect GetTimeLineRect(DWORD dwFrame) const;

    // What a client area can show, for the paths that must cost what is visible and not what
    // is stored: the tracks whose rows reach into the client rows top to bottom (exclusive),
    // as a half-open range of track indices, and the frames a material must reach into to
    // show between client x left and right (exclusive), with a unit to spare at each side
    // (false when no frame shows there).
    std::pair<int, int> GetTrackSpan(int top, int bottom) const;
    bool GetFrameSpan(int left, int right, DWORD& dwFrom, DWORD& dwTo) const;

    const CDWordArray& GetZoomSteps() const { return m_arrZoomSteps; }
    // Index of the current frames per unit in the zoom table, -1 when it is none of them.
    int GetZoomIndex() const;

    // ---- Hit tests (view_hit_test.cpp).
    // What lies under a client point. 1 when the point is outside the track area or on a
    // material, 0 otherwise (the track fields stay filled when a track row was hit).
    int HitTest(CPoint point, KelSBHitResult& result) const;
    // Non-zero when the point lies on a trimming edge of a material of an unlocked track;
    // the candidate then holds the material, the edge and where it was grabbed.
    int EdgeTest(CPoint point, KelSBTrimCandidate& candidate) const;
    // Index of the track whose header button (0 play, 1 lock) is under the point, -1 for none.
    int HeaderButtonTest(CPoint point, int& nButton) const;
    // The track whose row holds the point (within the track area), -1 for none.
    int TrackIndexAt(CPoint point) const;

private:
    // One container's part of the hit test: the union of its materials' hit rectangles and the
    // last of them under the point. False, the result untouched, when none is under it.
    bool HitContainer(CKelSBContainerObj* pContainer, CPoint point, KelSBHitResult& result) const;
    CRect ClientRect() const;

    const CKelSBEditView& m_view;
    const CBitmap& m_bmpRangeStart;
    const CBitmap& m_bmpRangeEnd;
    const CBitmap& m_bmpTimeLineHead;

    // Layout constants.
    const int m_nHeaderWidth = 100;
    const int m_nZoomBoxWidth = 100;
    const int m_nMarkerBandHeight = 12;
    const int m_nRulerHeight = 20;
    const int m_nToolBtnWidth = 15;
    const int m_nToolBtnHeight = 15;
    const int m_nTopStripHeight;
    const int m_nVBarWidth;
    CDWordArray m_arrZoomSteps;
};
