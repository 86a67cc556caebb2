#include "edit/edit_find.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace kel::edit {

Focus FindFocus(const CKelSBBodyObj& body, const CKelSBContentBaseObj* pContent) {
    const CKelSBContainerObj* pContainer = body.GetContainerOf(pContent);
    if (pContainer == nullptr)
        return {};
    const int nContainer = body.GetContainerIndex(pContainer);
    const INT_PTR nContent = pContainer->GetContentList().IndexOf(pContent);
    if (nContainer < 0 || nContent < 0)
        return {};
    return {nContainer, static_cast<int>(nContent)};
}

CKelSBContentBaseObj* ContentAt(const CKelSBBodyObj& body, int nContainer, int nContent) {
    if (nContainer < 0 || nContent < 0)
        return nullptr;
    const CKelSBContainerObj* pContainer = body.GetContainerObj(nContainer);
    return pContainer ? pContainer->GetContentObj(nContent) : nullptr;
}

std::vector<int> ContainerIndicesInListOrder(const CKelSBBodyObj& body, const CObList& containers) {
    std::vector<int> indices;
    indices.reserve(static_cast<std::size_t>(containers.GetCount()));
    std::vector<char> seen(static_cast<std::size_t>(body.GetContainerCount()));
    for (POSITION pos = containers.GetHeadPosition(); pos != nullptr;) {
        const int nIndex =
            body.GetContainerIndex(DYNAMIC_DOWNCAST(CKelSBContainerObj, containers.GetNext(pos)));
        if (nIndex >= 0 && !std::exchange(seen[static_cast<std::size_t>(nIndex)], char{1}))
            indices.push_back(nIndex);
    }
    return indices;
}

std::vector<int> ContainerIndices(const CKelSBBodyObj& body, const CObList& containers) {
    std::vector<int> indices = ContainerIndicesInListOrder(body, containers);
    std::sort(indices.begin(), indices.end());
    return indices;
}

std::vector<CKelSBContainerObj*> ContainersAt(const CKelSBBodyObj& body,
                                              const std::vector<int>& indices) {
    std::vector<CKelSBContainerObj*> containers;
    std::unordered_set<int> seen;
    for (int nIndex : indices) {
        CKelSBContainerObj* pContainer = body.GetContainerObj(nIndex);
        if (pContainer == nullptr || !seen.insert(nIndex).second)
            return {};
        containers.push_back(pContainer);
    }
    return containers;
}

CKelSBContentBaseObj* FindByFrame(const CKelSBBodyObj& body, int nTrack, DWORD dwFrame,
                                  int bInPoint) {
    const CKelSBTrackObj* pTrack = body.GetTrackObj(nTrack);
    if (pTrack == nullptr)
        return nullptr;
    const CObList& contents = pTrack->GetContentList();
    for (POSITION pos = contents.GetHeadPosition(); pos != nullptr;) {
        auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(pos));
        if (pContent != nullptr &&
            (bInPoint ? pContent->GetStoryIn() : pContent->GetStoryOut()) == dwFrame)
            return pContent;
    }
    return nullptr;
}

void RestoreSelection(const CKelSBBodyObj& body, const std::vector<int>& containerIndices,
                      const Focus& focus, SelectionRefs selection, bool bTracksToo) {
    if (bTracksToo)
        selection.tracks.RemoveAll();
    selection.containers.RemoveAll();
    selection.pCurrent = nullptr;
    for (int nIndex : containerIndices) {
        CKelSBContainerObj* pContainer = body.GetContainerObj(nIndex);
        if (pContainer == nullptr)
            continue;
        if (selection.containers.Find(pContainer) == nullptr)
            selection.containers.AddTail(pContainer);
        if (nIndex == focus.nContainer && selection.pCurrent == nullptr && focus.nContent >= 0)
            selection.pCurrent = pContainer->GetContentObj(focus.nContent);
    }
}

} // namespace kel::edit
