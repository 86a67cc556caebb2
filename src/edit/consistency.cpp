#include "edit/consistency.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/undo/ur_manager.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace kel::edit {
namespace {

using Problems = std::vector<std::string>;

struct MaterialInfo {
    const CKelSBContentBaseObj* pContent;
    const CKelSBContainerObj* pContainer;
};

// Materials of the containers by pointer, each with the container that holds it.
std::unordered_map<const CObject*, MaterialInfo> CheckContainers(const CKelSBBodyObj& body,
                                                                 Problems& problems) {
    std::unordered_map<const CObject*, MaterialInfo> materials;
    const int nTracks = body.GetTrackCount();
    int nContainer = 0;
    const CKelObList& containers = body.GetContainerList();
    for (POSITION pos = containers.GetHeadPosition(); pos != nullptr; ++nContainer) {
        const CObject* pObject = containers.GetNext(pos);
        const auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, pObject);
        const std::string where = "container " + std::to_string(nContainer);
        if (pContainer == nullptr) {
            problems.push_back(where + " is not a container");
            continue;
        }
        const CKelObList& contents = pContainer->GetContentList();
        int nContent = 0;
        for (POSITION p = contents.GetHeadPosition(); p != nullptr; ++nContent) {
            const CObject* pItem = contents.GetNext(p);
            const std::string at = where + " material " + std::to_string(nContent);
            const auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, pItem);
            if (pContent == nullptr) {
                problems.push_back(at + " is not a material");
                continue;
            }
            if (!materials.emplace(pItem, MaterialInfo{pContent, pContainer}).second)
                problems.push_back(at + " is held twice");
            if (pContent->GetTrackIndex() >= nTracks)
                problems.push_back(at + " lies on missing track " +
                                   std::to_string(pContent->GetTrackIndex()));
            if (pContent->GetStoryOut() < pContent->GetStoryIn() ||
                pContent->GetDuration() < pContent->GetMinDuration())
                problems.push_back(at + " has broken times");
        }
    }
    return materials;
}

void CheckTracks(const CKelSBBodyObj& body,
                 const std::unordered_map<const CObject*, MaterialInfo>& materials,
                 CheckOptions options, Problems& problems) {
    std::vector<std::size_t> expected(static_cast<std::size_t>(body.GetTrackCount()), 0);
    for (const auto& [pObject, info] : materials) {
        if (info.pContent->GetTrackIndex() < expected.size())
            ++expected[info.pContent->GetTrackIndex()];
    }
    for (int t = 0; t < body.GetTrackCount(); ++t) {
        const std::string where = "track " + std::to_string(t);
        const CKelSBTrackObj* pTrack = body.GetTrackObj(t);
        if (pTrack == nullptr) {
            problems.push_back(where + " is not a track");
            continue;
        }
        const CObList& list = pTrack->GetContentList();
        std::unordered_set<const CObject*> seen;
        bool bMatches = static_cast<std::size_t>(list.GetCount()) == expected[t];
        const CKelSBContentBaseObj* pPrevious = nullptr;
        DWORD dwLatestOut = 0;
        for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
            const CObject* pObject = list.GetNext(pos);
            auto it = materials.find(pObject);
            // A pointer that no container holds is never followed: it may be gone.
            if (it == materials.end() || it->second.pContent->GetTrackIndex() != t ||
                !seen.insert(pObject).second) {
                bMatches = false;
                continue;
            }
            const CKelSBContentBaseObj* pContent = it->second.pContent;
            if (pPrevious != nullptr && pContent->GetStoryIn() < pPrevious->GetStoryIn())
                problems.push_back(where + ": content list out of time order at frame " +
                                   std::to_string(pContent->GetStoryIn()));
            if (options.bOverlaps && pPrevious != nullptr && pContent->GetStoryIn() < dwLatestOut)
                problems.push_back(where + ": materials overlap at frame " +
                                   std::to_string(pContent->GetStoryIn()));
            dwLatestOut = std::max(dwLatestOut, pContent->GetStoryOut());
            pPrevious = pContent;
        }
        if (!bMatches)
            problems.push_back(where + ": content list does not match the materials on the track");
    }
    // Lists that edits, undo and redo kept themselves must be what a rebuild would make,
    // equal story ins in the rebuild's order too.
    if (problems.empty()) {
        if (const int t = body.FindTrackListUnlikeRebuild(); t >= 0)
            problems.push_back("track " + std::to_string(t) +
                               ": content list differs from a rebuild of the lists");
    }
}

void CheckSelection(const CKelSBBodyObj& body,
                    const std::unordered_map<const CObject*, MaterialInfo>& materials,
                    const ViewSelection& selection, Problems& problems) {
    if (selection.pTracks != nullptr) {
        std::unordered_set<const CObject*> tracks;
        for (int t = 0; t < body.GetTrackCount(); ++t)
            tracks.insert(body.GetTrackObj(t));
        std::unordered_set<const CObject*> seen;
        for (POSITION pos = selection.pTracks->GetHeadPosition(); pos != nullptr;) {
            const CObject* pTrack = selection.pTracks->GetNext(pos);
            if (tracks.count(pTrack) == 0)
                problems.push_back("a selected track is not a track of the storyboard");
            else if (!seen.insert(pTrack).second)
                problems.push_back("a track is selected twice");
        }
    }
    std::unordered_set<const CObject*> selected;
    if (selection.pContainers != nullptr) {
        std::unordered_set<const CObject*> containers;
        const CKelObList& all = body.GetContainerList();
        for (POSITION pos = all.GetHeadPosition(); pos != nullptr;)
            containers.insert(all.GetNext(pos));
        for (POSITION pos = selection.pContainers->GetHeadPosition(); pos != nullptr;) {
            const CObject* pContainer = selection.pContainers->GetNext(pos);
            if (containers.count(pContainer) == 0)
                problems.push_back("a selected container is not a container of the storyboard");
            else if (!selected.insert(pContainer).second)
                problems.push_back("a container is selected twice");
        }
    }
    if (selection.pCurrent != nullptr) {
        auto it = materials.find(selection.pCurrent);
        if (it == materials.end())
            problems.push_back("the current material is not a material of the storyboard");
        else if (selected.count(it->second.pContainer) == 0)
            problems.push_back("the current material lies outside the selection");
    }
}

void CheckHistory(const CKelSBBodyObj& body, Problems& problems) {
    const CKelURBase* pHistory = body.GetURBase();
    if (pHistory == nullptr) {
        problems.push_back("the storyboard has no history");
        return;
    }
    const int nSteps = pHistory->GetStepCount();
    const int nDone = pHistory->GetUndoStepCount();
    if (nDone < 0 || nDone > nSteps || pHistory->GetRedoStepCount() != nSteps - nDone)
        problems.push_back("history counts disagree: " + std::to_string(nDone) + " done of " +
                           std::to_string(nSteps));
    for (int i = 0; i < nSteps; ++i) {
        if (pHistory->GetCommand(i) == nullptr)
            problems.push_back("history step " + std::to_string(i) + " has no command");
    }
}

} // namespace

std::vector<std::string> CheckConsistency(const CKelSBBodyObj* pBody,
                                          const ViewSelection& selection, CheckOptions options) {
    Problems problems;
    if (pBody == nullptr) {
        const bool bEmpty = (!selection.pTracks || selection.pTracks->IsEmpty()) &&
                            (!selection.pContainers || selection.pContainers->IsEmpty()) &&
                            selection.pCurrent == nullptr;
        if (!bEmpty)
            problems.push_back("a selection without a storyboard");
        return problems;
    }
    const auto materials = CheckContainers(*pBody, problems);
    CheckTracks(*pBody, materials, options, problems);
    CheckSelection(*pBody, materials, selection, problems);
    CheckHistory(*pBody, problems);
    return problems;
}

} // namespace kel::edit
