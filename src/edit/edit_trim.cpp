#include "edit/edit_trim.h"

#include "edit/edit_change.h"

#include "host/sbobject/sb_content.h"

#include <algorithm>

namespace kel::edit {

DWORD TrimUpperLimit() {
    return CKelSBContentBaseObj::kMaxFrame;
}

TrimRange TrimEdgeRange(const TrimEdge& edge) {
    const CKelSBContentBaseObj& content = *edge.pContent;
    const long long nMin = content.GetMinDuration();
    if (edge.dwEdge == 1) {
        const long long nPrevOut = edge.pPrev ? edge.pPrev->GetStoryOut() : 0;
        return {std::max<long long>(edge.dwLowerBound, nPrevOut),
                static_cast<long long>(content.GetStoryOut()) - nMin};
    }
    const long long nNextIn = edge.pNext ? edge.pNext->GetStoryIn() : TrimUpperLimit();
    return {static_cast<long long>(content.GetStoryIn()) + nMin,
            std::min<long long>(edge.dwUpperBound, nNextIn)};
}

std::optional<LengthChange> ChangeLength(const TrimEdge& edge, DWORD dwFrame) {
    if (edge.pContent == nullptr || (edge.dwEdge != 1 && edge.dwEdge != 2))
        return std::nullopt;
    CKelSBContentBaseObj& content = *edge.pContent;
    const TrimRange range = TrimEdgeRange(edge);
    if (range.nLow > range.nHigh)
        return std::nullopt;
    const bool bIn = edge.dwEdge == 1;
    const auto dwNew = static_cast<DWORD>(std::clamp<long long>(dwFrame, range.nLow, range.nHigh));
    const DWORD dwOld = bIn ? content.GetStoryIn() : content.GetStoryOut();
    if (dwNew == dwOld)
        return std::nullopt;
    ChangeJournal journal;
    if (!SetPoint(content, dwNew, bIn ? 1 : 0, journal))
        return std::nullopt;
    journal.Commit();
    return LengthChange{content.GetTrackIndex(), edge.dwEdge, dwOld, dwNew};
}

} // namespace kel::edit
