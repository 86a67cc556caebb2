#include "edit/edit_piece_group.h"

#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/scene/media_info.h"
#include "host/scene/play_piece.h"
#include "host/scene/play_scene.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace kel::edit {

namespace {

using ContentPtr = std::unique_ptr<CKelSBContentBaseObj>;

std::unique_ptr<CKelSBContentPieceBaseObj> NewPhase(int nPhase) {
    switch (nPhase) {
    case KEL_IO_IN:
        return std::make_unique<CKelSBContentPieceInObj>();
    case KEL_IO_STAY:
        return std::make_unique<CKelSBContentPieceStayObj>();
    default:
        return std::make_unique<CKelSBContentPieceOutObj>();
    }
}

// The phases of a group, end to end from frame 0.
bool BuildPhases(CKelPlayGroupObj& piece, const std::vector<int>& phases,
                 std::vector<ContentPtr>& made) {
    DWORD dwAt = 0;
    for (int nPhase : phases) {
        auto pContent = NewPhase(nPhase);
        const DWORD dwLength = piece.GetPlayDuration(nPhase);
        if (!pContent->Init(0, piece.GetGUID(), dwAt, dwAt + dwLength, &piece))
            return false;
        dwAt += dwLength;
        made.push_back(std::move(pContent));
    }
    return true;
}

bool BuildMedia(const CKelPlayBaseObj& piece, bool bScroll, std::vector<ContentPtr>& made) {
    DWORD dwLength = 0;
    std::unique_ptr<CKelSBContentMovieObj> pContent;
    if (bScroll) {
        const auto* pScroll = DYNAMIC_DOWNCAST(CKelPlayScrollObj, &piece);
        CRect rcScroll;
        int nDirection = 0;
        if (pScroll == nullptr ||
            !KelGetScrollFileInfo(pScroll->GetFileName(), &rcScroll, &nDirection))
            return false;
        dwLength = KelScrollDurationFromRect(rcScroll, nDirection);
        pContent = std::make_unique<CKelSBContentScrollObj>();
    } else {
        const auto* pMovie = DYNAMIC_DOWNCAST(CKelPlayMovieObj, &piece);
        KelMovieFileInfo info;
        if (pMovie == nullptr || !KelMovieGetFileInfo(pMovie->GetFileName(), &info))
            return false;
        dwLength = info.nFrameCount;
        pContent = std::make_unique<CKelSBContentMovieObj>();
    }
    if (!pContent->Init(0, piece.GetGUID(), 0, dwLength, nullptr))
        return false;
    made.push_back(std::move(pContent));
    return true;
}

} // namespace

int BuildGroupFromPieceData(const CKelPlaySceneObj& scene, const KelPieceDragData& data,
                            CKelSBContainerObj& group) {
    CKelPlayBaseObj* pPiece = scene.FindPieceByGUID(data.guid);
    if (pPiece == nullptr)
        return 0;
    std::vector<ContentPtr> made;
    bool bBuilt = false;
    if (data.dwType <= KelPieceDragData::kInStayOut) {
        auto* pGroup = DYNAMIC_DOWNCAST(CKelPlayGroupObj, pPiece);
        const std::vector<int> phases = data.dwType == KelPieceDragData::kInStayOut
                                            ? std::vector<int>{KEL_IO_IN, KEL_IO_STAY, KEL_IO_OUT}
                                            : std::vector<int>{static_cast<int>(data.dwType)};
        bBuilt = pGroup != nullptr && BuildPhases(*pGroup, phases, made);
    } else if (data.dwType == KelPieceDragData::kMovie ||
               data.dwType == KelPieceDragData::kScroll) {
        bBuilt = BuildMedia(*pPiece, data.dwType == KelPieceDragData::kScroll, made);
    }
    if (!bBuilt)
        return 0;
    for (ContentPtr& pContent : made)
        group.AddContent(pContent.release());
    return 1;
}

DWORD DragInLeadIn(DWORD dwFramesPerUnit, DWORD dwGroupDuration) {
    return std::min(dwFramesPerUnit, dwGroupDuration / 2);
}

} // namespace kel::edit
