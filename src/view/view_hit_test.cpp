// What lies under a point of the timeline: a track row, a material, a trimming edge, a header
// button. Each test asks only the rows and frames at the point, so it costs the same however
// many materials the storyboard holds.
#include "view/sbedit_view.h"
#include "view/view_geometry.h"
#include "view/view_paint_tools.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"

#include <algorithm>
#include <climits>

namespace {

// Materials of an effect piece's In, Stay or Out phase. They are tied to their own track;
// movies and scrolls are tested wherever their rectangle reaches.
bool IsPhaseContent(const CKelSBContentBaseObj* pContent) {
    const auto* pPiece = DYNAMIC_DOWNCAST(CKelSBContentPieceBaseObj, pContent);
    if (!pPiece)
        return false;
    const int nState = pPiece->GetIOStateType();
    return nState >= 0 && nState <= 2;
}

} // namespace

// A material is hit through its container: the first container of the storyboard that has a
// material under the point wins, and within it the last such material. The track lists,
// while current, name the few materials near the point, so the answer costs the same however
// many materials the storyboard holds; otherwise every container is asked in turn.
int KelSBViewGeometry::HitTest(CPoint point, KelSBHitResult& result) const {
    result = KelSBHitResult{};
    if (!GetTrackAreaRect().PtInRect(point))
        return 1;
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody)
        return 0;
    const auto [nFirstTrack, nEndTrack] = GetTrackSpan(point.y, point.y + 1);
    for (int i = nFirstTrack; i < nEndTrack; ++i) {
        const CRect row = GetTrackRowRect(i);
        if (row.PtInRect(point)) {
            result.nTrackIndex = i;
            result.pTrack = pBody->GetTrackObj(i);
            result.rcTrackRow = row;
            break;
        }
    }
    if (result.nTrackIndex < 0)
        return 0;

    if (pBody->AreTrackContentListsCurrent()) {
        // Rows do not overlap, so whatever is under the point lies on this track.
        CKelSBContainerObj* pFirst = nullptr;
        int nFirst = INT_MAX;
        DWORD dwFrom = 0;
        DWORD dwTo = 0;
        if (result.pTrack && GetFrameSpan(point.x, point.x + 1, dwFrom, dwTo)) {
            for (CKelSBContentBaseObj* pContent : result.pTrack->GetContentsNear(dwFrom, dwTo)) {
                if (!GetMaterialHitRect(pContent).PtInRect(point))
                    continue;
                CKelSBContainerObj* pContainer = pBody->GetContainerOf(pContent);
                const int nIndex = pBody->GetContainerIndex(pContainer);
                if (pContainer && nIndex < nFirst) {
                    pFirst = pContainer;
                    nFirst = nIndex;
                }
            }
        }
        return pFirst && HitContainer(pFirst, point, result) ? 1 : 0;
    }
    const CKelObList& containers = pBody->GetContainerList();
    for (POSITION pos = containers.GetHeadPosition(); pos;) {
        auto* pContainer = dynamic_cast<CKelSBContainerObj*>(containers.GetNext(pos));
        if (pContainer && HitContainer(pContainer, point, result))
            return 1;
    }
    return 0;
}

bool KelSBViewGeometry::HitContainer(CKelSBContainerObj* pContainer, CPoint point,
                                     KelSBHitResult& result) const {
    CRect outline;
    CKelSBContentBaseObj* pHit = nullptr;
    CRect rcHit;
    const CKelObList& contents = pContainer->GetContentList();
    for (POSITION pos = contents.GetHeadPosition(); pos;) {
        auto* pContent = dynamic_cast<CKelSBContentBaseObj*>(contents.GetNext(pos));
        if (!pContent)
            continue;
        const CRect rc = GetMaterialHitRect(pContent);
        outline.UnionRect(outline, rc);
        // The extra pixel at the bottom of a phase material reaches into the next row; that
        // row belongs to the next track alone.
        if (IsPhaseContent(pContent) && pContent->GetTrackIndex() != result.nTrackIndex)
            continue;
        if (rc.PtInRect(point)) {
            pHit = pContent;
            rcHit = rc;
        }
    }
    if (!pHit)
        return false;
    result.pContainer = pContainer;
    result.pContent = pHit;
    result.rcContent = rcHit;
    result.rcContainerOutline = outline;
    return true;
}

int KelSBViewGeometry::EdgeTest(CPoint point, KelSBTrimCandidate& candidate) const {
    KelSBHitResult hit;
    HitTest(point, hit);
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody || !hit.pContent)
        return 0;
    const CKelSBTrackObj* pTrack = pBody->GetTrackObj(hit.pContent->GetTrackIndex());
    if (!pTrack || pTrack->IsLocked())
        return 0;
    DWORD dwEdge = 0;
    int nGrabOffset = 0;
    // On a material too short for both edges the story in edge wins: a trim can turn to the
    // other edge once it runs.
    if (point.x - hit.rcContent.left < 3) {
        dwEdge = 1;
        nGrabOffset = hit.rcContent.left - point.x;
    } else if (hit.rcContent.right - point.x < 4) {
        dwEdge = 2;
        nGrabOffset = hit.rcContent.right - point.x;
    } else {
        return 0;
    }
    candidate.pContent = hit.pContent;
    candidate.dwEdge = dwEdge;
    candidate.ptPoint = point;
    candidate.nGrabOffset = nGrabOffset;
    candidate.dwEdgeFrame = static_cast<DWORD>(std::max(0, ClientXToFrame(point.x + nGrabOffset)));
    candidate.rcMaterial = GetMaterialRect(hit.pContent);
    return 1;
}

int KelSBViewGeometry::HeaderButtonTest(CPoint point, int& nButton) const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody)
        return -1;
    // A button square starts 3 pixels into its header and is 16 high, so with low rows it
    // reaches into the next header: the track above the point is asked first.
    const auto [nFirst, nEnd] =
        GetTrackSpan(point.y - kel::sbedit::kHeaderButtonReach + 1, point.y + 1);
    for (int i = nFirst; i < nEnd; ++i) {
        const CRect header = GetTrackHeaderRect(i);
        for (int nCandidate = 0; nCandidate < 2; ++nCandidate) {
            if (kel::sbedit::HeaderButtonRect(header, nCandidate).PtInRect(point)) {
                nButton = nCandidate;
                return i;
            }
        }
    }
    return -1;
}

int KelSBViewGeometry::TrackIndexAt(CPoint point) const {
    if (!m_view.GetCurSBBody() || !GetTrackAreaRect().PtInRect(point))
        return -1;
    // The rows that reach the point's line; the first that holds the point, as the hit test
    // finds it.
    const auto [nFirst, nEnd] = GetTrackSpan(point.y, point.y + 1);
    for (int i = nFirst; i < nEnd; ++i) {
        if (GetTrackRowRect(i).PtInRect(point))
            return i;
    }
    return -1;
}
