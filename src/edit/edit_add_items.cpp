#include "edit/edit_add_items.h"

#include "edit/edit_change.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/scene/media_info.h"
#include "host/scene/play_piece.h"
#include "host/scene/play_scene.h"

#include <memory>

namespace kel::edit {

namespace {

bool CanBePutDown(const CObject* pItem) {
    const auto* pBase = DYNAMIC_DOWNCAST(CKelPlayBaseObj, pItem);
    return pBase != nullptr && pBase->IsSelected() &&
           (DYNAMIC_DOWNCAST(CKelPlayGroupObj, pItem) != nullptr ||
            DYNAMIC_DOWNCAST(CKelPlayMovieObj, pItem) != nullptr);
}

using ContainerPtr = std::unique_ptr<CKelSBContainerObj>;

// One container per phase of the group, end to end from frame 0; empty when a phase has no
// length.
std::vector<ContainerPtr> GroupContainers(CKelPlayGroupObj& group, int nTrack, int bAllPhases) {
    std::vector<ContainerPtr> made;
    std::vector<std::unique_ptr<CKelSBContentPieceBaseObj>> phases;
    phases.push_back(std::make_unique<CKelSBContentPieceInObj>());
    if (bAllPhases) {
        phases.push_back(std::make_unique<CKelSBContentPieceStayObj>());
        phases.push_back(std::make_unique<CKelSBContentPieceOutObj>());
    }
    DWORD dwAt = 0;
    for (auto& pPhase : phases) {
        const DWORD dwLength = group.GetPlayDuration(pPhase->GetIOStateType());
        if (!pPhase->Init(static_cast<WORD>(nTrack), group.GetGUID(), dwAt, dwAt + dwLength,
                          &group))
            return {};
        dwAt += dwLength;
        made.push_back(std::make_unique<CKelSBContainerObj>());
        made.back()->AddContent(pPhase.release());
    }
    return made;
}

std::vector<ContainerPtr> MovieContainers(const CKelPlayMovieObj& movie, int nTrack) {
    KelMovieFileInfo info;
    if (!KelMovieGetFileInfo(movie.GetFileName(), &info))
        return {};
    auto pContent = std::make_unique<CKelSBContentMovieObj>();
    if (!pContent->Init(static_cast<WORD>(nTrack), movie.GetGUID(), 0, info.nFrameCount, nullptr))
        return {};
    std::vector<ContainerPtr> made;
    made.push_back(std::make_unique<CKelSBContainerObj>());
    made.back()->AddContent(pContent.release());
    return made;
}

} // namespace

int CountSelectedItems(const CKelPlaySceneObj& scene) {
    int nCount = 0;
    const CKelObList* pItems = scene.GetPieceList();
    for (POSITION pos = pItems->GetHeadPosition(); pos != nullptr;) {
        if (CanBePutDown(pItems->GetNext(pos)))
            ++nCount;
    }
    return nCount;
}

AddedItems PutSelectedItems(CKelSBBodyObj& body, CKelPlaySceneObj& scene, int nTrack,
                            int bAllPhases) {
    AddedItems added;
    CKelObList* pItems = scene.GetPieceList();
    for (POSITION pos = pItems->GetHeadPosition(); pos != nullptr;) {
        CObject* pItem = pItems->GetNext(pos);
        if (!CanBePutDown(pItem))
            continue;
        if (body.GetTrackCount() >= CKelSBBodyObj::kMaxTrackCount)
            break;
        // The materials first: an item that cannot be put down leaves no empty track behind.
        std::vector<ContainerPtr> made;
        if (auto* pGroup = DYNAMIC_DOWNCAST(CKelPlayGroupObj, pItem))
            made = GroupContainers(*pGroup, nTrack, bAllPhases);
        else
            made = MovieContainers(*static_cast<CKelPlayMovieObj*>(pItem), nTrack);
        if (made.empty() || !body.InsertTrack(nTrack))
            break;
        added.tracks.push_back(body.GetTrackObj(nTrack));
        for (ContainerPtr& pContainer : made) {
            CKelSBContainerObj* pRaw = pContainer.get();
            CKelSBBodyObj::MakePieceContentIcon(pRaw, pItems);
            InsertContainerAt(body, body.GetContainerCount(), std::move(pContainer));
            added.containers.push_back(pRaw);
            if (added.pFirstIn == nullptr &&
                DYNAMIC_DOWNCAST(CKelSBContentPieceInObj, pRaw->GetContentObj(0)) != nullptr)
                added.pFirstIn = pRaw->GetContentObj(0);
        }
        ++nTrack;
    }
    return added;
}

} // namespace kel::edit
