#include "edit/edit_paste.h"

#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"

#include <functional>

namespace kel::edit {

namespace {

// One record per track of the copies, in the order of each track's first copy; `place` sets
// where a record goes from its first material and the first material of all.
PlacementGroups
SplitByTrack(const CObList& copies,
             const std::function<void(CONTAINER_INSERT_PARAM&, const CKelSBContentBaseObj& first,
                                      const CKelSBContentBaseObj& anchor)>& place) {
    PlacementGroups groups;
    if (copies.IsEmpty())
        return groups;
    const auto& anchor = *static_cast<const CKelSBContentBaseObj*>(copies.GetHead());
    std::vector<WORD> tracks; // of the records, in order
    for (POSITION pos = copies.GetHeadPosition(); pos != nullptr;) {
        auto* pContent = static_cast<CKelSBContentBaseObj*>(copies.GetNext(pos));
        std::size_t i = 0;
        while (i < tracks.size() && tracks[i] != pContent->GetTrackIndex())
            ++i;
        if (i == tracks.size()) {
            auto pRecord = std::make_unique<CONTAINER_INSERT_PARAM>();
            pRecord->dwKind = CONTAINER_INSERT_PARAM::kFixedPaste;
            place(*pRecord, *pContent, anchor);
            groups.push_back(std::move(pRecord));
            tracks.push_back(pContent->GetTrackIndex());
        }
        // Appended in time order, the copies being in it: the group is in time order too.
        groups[i]->group.GetContentList().AddTail(pContent);
    }
    return groups;
}

} // namespace

PlacementGroups PasteGroupsAtPoint(const CObList& copies, CPoint point) {
    return SplitByTrack(copies, [point](CONTAINER_INSERT_PARAM& record,
                                        const CKelSBContentBaseObj& first,
                                        const CKelSBContentBaseObj& anchor) {
        const CPoint origin = anchor.GetGeometryRect().TopLeft();
        const CPoint at = first.GetGeometryRect().TopLeft();
        record.ptCurrent = CPoint(point.x + at.x - origin.x, point.y + at.y - origin.y);
    });
}

PlacementGroups PasteGroupsAtFrame(const CObList& copies, DWORD dwFrame) {
    return SplitByTrack(copies, [dwFrame](CONTAINER_INSERT_PARAM& record,
                                          const CKelSBContentBaseObj& first,
                                          const CKelSBContentBaseObj& anchor) {
        record.at = CONTAINER_INSERT_PARAM::TrackFrame{first.GetTrackIndex(),
                                                       static_cast<long>(dwFrame) +
                                                           static_cast<long>(first.GetStoryIn()) -
                                                           static_cast<long>(anchor.GetStoryIn())};
    });
}

} // namespace kel::edit
