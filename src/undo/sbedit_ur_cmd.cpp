#include "undo/sbedit_ur_cmd.h"

#include "edit/edit_change.h"
#include "undo/sbedit_editor.h"

#include "host/base/kel_object.h"
#include "host/sbobject/content_icons.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/scene/play_piece.h"
#include "host/scene/play_scene.h"
#include "host/undo/ur_snapshot_store.h"
#include "platform/archive.h"
#include "platform/file.h"

#include <algorithm>
#include <utility>

namespace {

// A list that holds an object it does not own for as long as it is written.
struct BorrowingList {
    CKelObList list{CKelObList::kQuiet};
    ~BorrowingList() { list.RemoveAll(); }
};

} // namespace

CKelSBEditURBaseCmd::CKelSBEditURBaseCmd(CKelSBEditorServices* pEditor, unsigned int nTextId,
                                         CString strText)
    : CKelURCmd(pEditor, nTextId, std::move(strText)) {}

CKelSBEditURBaseCmd::~CKelSBEditURBaseCmd() {
    ClearSnapshotFiles(1);
    ClearSnapshotFiles(0);
}

std::size_t CKelSBEditURBaseCmd::ObjectBytes(const CObject* pObject) {
    if (pObject == nullptr)
        return 0;
    try {
        CMemFile file;
        BorrowingList temp;
        temp.list.AddTail(const_cast<CObject*>(pObject)); // written, never changed
        CArchive ar(&file, CArchive::store, 4096);
        temp.list.Serialize(ar);
        ar.Close();
        return static_cast<std::size_t>(file.GetLength());
    } catch (const CException&) {
        return 0;
    }
}

std::size_t CKelSBEditURBaseCmd::GetHeldBytes() const {
    std::size_t bytes = CKelURCmd::GetHeldBytes() + sizeof(*this) - sizeof(CKelURCmd);
    for (int bFirstList : {1, 0}) {
        const CStringArray& files = GetSnapshotFiles(bFirstList);
        for (INT_PTR i = 0; i < files.GetSize(); ++i) {
            bytes += static_cast<std::size_t>(files[i].GetLength()) +
                     kel::host::GetURSnapshotSize(files[i]);
            bytes += ObjectBytes(MemoryCopies(bFirstList)[static_cast<std::size_t>(i)].get());
            bytes +=
                PieceRefsOf(bFirstList)[static_cast<std::size_t>(i)].capacity() * sizeof(KelGUID);
        }
    }
    for (const auto& [guid, pPiece] : m_pieceCopies)
        bytes += sizeof(guid) + ObjectBytes(pPiece.get());
    return bytes;
}

int CKelSBEditURBaseCmd::Undo() {
    return 1;
}

int CKelSBEditURBaseCmd::Redo(int /*bFirst*/) {
    return 1;
}

// ---- Snapshots ---------------------------------------------------------------------------------

void CKelSBEditURBaseCmd::Record(int bFirstList, const CString& strFile,
                                 std::unique_ptr<CKelObject> pCopy) {
    // The lists grow together or not at all.
    auto& copies = MemoryCopies(bFirstList);
    auto& pieces = PieceRefsOf(bFirstList);
    copies.push_back(nullptr);
    try {
        pieces.emplace_back();
        try {
            (bFirstList ? m_arrFirstFiles : m_arrSecondFiles).Add(strFile);
        } catch (...) {
            pieces.pop_back();
            throw;
        }
    } catch (...) {
        copies.pop_back();
        throw;
    }
    copies.back() = std::move(pCopy);
}

int CKelSBEditURBaseCmd::SaveObjectSnapshot(CObject* pObject, int bFirstList) {
    if (pObject == nullptr)
        return 0;
    const CString strFile = KelGetUniqueURFileName();
    if (!strFile.IsEmpty()) {
        try {
            CMemFile file;
            {
                BorrowingList temp;
                temp.list.AddTail(pObject);
                CArchive ar(&file, CArchive::store, 4096);
                temp.list.Serialize(ar);
                ar.Close();
            }
            if (kel::host::WriteURSnapshot(strFile, file.GetBuffer())) {
                Record(bFirstList, strFile, nullptr);
                return 1;
            }
        } catch (const CException&) {
        }
        kel::host::EraseURSnapshot(strFile);
    }
    // Not stored: keep the object in memory rather than lose it.
    try {
        const auto* pKelObject = dynamic_cast<const CKelObject*>(pObject);
        if (pKelObject != nullptr) {
            Record(bFirstList, CString(), std::unique_ptr<CKelObject>(pKelObject->MakeCopy()));
            return 1;
        }
    } catch (...) {
    }
    try {
        Record(bFirstList, CString(), nullptr);
    } catch (...) {
    }
    return 0;
}

int CKelSBEditURBaseCmd::ClearSnapshotFiles(int bFirstList) {
    CStringArray& files = bFirstList ? m_arrFirstFiles : m_arrSecondFiles;
    if (files.GetSize() > 0)
        kel::host::EraseURSnapshots(files.GetData(), static_cast<std::size_t>(files.GetSize()));
    files.RemoveAll();
    MemoryCopies(bFirstList).clear();
    PieceRefsOf(bFirstList).clear();
    // A series written again takes its pieces as they are then.
    if (m_arrFirstFiles.GetSize() == 0 && m_arrSecondFiles.GetSize() == 0)
        m_pieceCopies.clear();
    return 1;
}

bool CKelSBEditURBaseCmd::IsSnapshotInMemory(int bFirstList, int i) const {
    const auto& copies = MemoryCopies(bFirstList);
    return i >= 0 && i < static_cast<int>(copies.size()) && copies[static_cast<std::size_t>(i)];
}

namespace {

// The one object a snapshot holds, or null.
std::unique_ptr<CObject> ReadSnapshotFile(const CString& strFile) {
    std::vector<BYTE> bytes;
    if (strFile.IsEmpty() || !kel::host::ReadURSnapshot(strFile, bytes))
        return nullptr;
    try {
        CMemFile file(std::move(bytes));
        CArchive ar(&file, CArchive::load, 4096);
        CKelObList temp(CKelObList::kQuiet); // deletes what it read unless it is taken out
        temp.Serialize(ar);
        ar.Close();
        if (temp.GetCount() != 1 || temp.GetHead() == nullptr)
            return nullptr;
        return std::unique_ptr<CObject>(temp.RemoveHead());
    } catch (const CException&) {
        return nullptr;
    }
}

} // namespace

void CKelSBEditURBaseCmd::AttachPieceCopies(CObject& object, const PieceRefs& refs,
                                            const CKelPlaySceneObj* pScene) const {
    auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, &object);
    if (pContainer == nullptr ||
        static_cast<std::size_t>(pContainer->GetContentCount()) != refs.size())
        return;
    for (std::size_t m = 0; m < refs.size(); ++m) {
        if (refs[m].IsNull() || (pScene != nullptr && pScene->FindPieceByGUID(refs[m]) != nullptr))
            continue;
        const auto found = m_pieceCopies.find(refs[m]);
        if (found != m_pieceCopies.end())
            pContainer->GetContentObj(static_cast<INT_PTR>(m))
                ->GetAttachedPieceList()
                .AddTail(found->second->MakeCopy());
    }
}

namespace {
std::unique_ptr<CObject> LoadEntry(const CKelSBEditURBaseCmd& cmd, int bFirstList, int i,
                                   const CKelObject* pInMemory) {
    if (pInMemory != nullptr)
        return std::unique_ptr<CObject>(pInMemory->MakeCopy());
    return ReadSnapshotFile(cmd.GetSnapshotFiles(bFirstList)[i]);
}
} // namespace

std::unique_ptr<CObject> CKelSBEditURBaseCmd::LoadSnapshot(int bFirstList, int i) const {
    if (i < 0 || i >= GetSnapshotCount(bFirstList))
        return nullptr;
    std::unique_ptr<CObject> pObject = LoadEntry(
        *this, bFirstList, i, MemoryCopies(bFirstList)[static_cast<std::size_t>(i)].get());
    if (pObject)
        AttachPieceCopies(*pObject, PieceRefsOf(bFirstList)[static_cast<std::size_t>(i)], nullptr);
    return pObject;
}

bool CKelSBEditURBaseCmd::LoadContainerSnapshots(
    int bFirstList, std::vector<std::unique_ptr<CKelSBContainerObj>>& containers,
    const CKelPlaySceneObj* pScene) const {
    containers.clear();
    for (int i = 0; i < GetSnapshotCount(bFirstList); ++i) {
        std::unique_ptr<CObject> pObject = LoadEntry(
            *this, bFirstList, i, MemoryCopies(bFirstList)[static_cast<std::size_t>(i)].get());
        if (pObject)
            AttachPieceCopies(*pObject, PieceRefsOf(bFirstList)[static_cast<std::size_t>(i)],
                              pScene);
        auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, pObject.get());
        if (pContainer == nullptr) {
            containers.clear();
            return false;
        }
        pObject.release();
        containers.emplace_back(pContainer);
    }
    return true;
}

int CKelSBEditURBaseCmd::RestoreObjectSnapshot(CString strFile, CObList* pList, int nIndex) {
    if (GetEditor() == nullptr || pList == nullptr)
        return 0;
    std::unique_ptr<CObject> pObject = ReadSnapshotFile(strFile);
    if (!pObject)
        return 0;
    for (int bFirstList : {1, 0}) {
        const CStringArray& files = GetSnapshotFiles(bFirstList);
        for (INT_PTR i = 0; i < files.GetSize(); ++i) {
            if (files[i] == strFile)
                AttachPieceCopies(*pObject, PieceRefsOf(bFirstList)[static_cast<std::size_t>(i)],
                                  nullptr);
        }
    }
    try {
        kel::edit::InsertAtIndex(*pList, pObject.get(), nIndex);
    } catch (...) {
        return 0;
    }
    pObject.release(); // the list has it now
    return 1;
}

int CKelSBEditURBaseCmd::SaveContainerSnapshot(CKelSBContainerObj& container,
                                               const CKelPlaySceneObj* pScene, int bFirstList) {
    PieceRefs refs;
    refs.reserve(static_cast<std::size_t>(container.GetContentCount()));
    for (INT_PTR m = 0; m < container.GetContentCount(); ++m) {
        const KelGUID guid = container.GetContentObj(m)->GetGUID();
        const CKelPlayBaseObj* pPiece = pScene ? pScene->FindPieceByGUID(guid) : nullptr;
        if (pPiece == nullptr) {
            refs.emplace_back();
            continue;
        }
        if (m_pieceCopies.find(guid) == m_pieceCopies.end())
            m_pieceCopies.emplace(guid, std::unique_ptr<CKelPlayBaseObj>(pPiece->MakeCopy()));
        refs.push_back(guid);
    }
    const int bSaved = SaveObjectSnapshot(&container, bFirstList);
    if (!PieceRefsOf(bFirstList).empty())
        PieceRefsOf(bFirstList).back() = std::move(refs);
    return bSaved;
}

void CKelSBEditURBaseCmd::SnapshotContainersOnTrack(const Target& target, int bFirstList,
                                                    int nTrack, std::vector<int>& indices,
                                                    std::vector<int>& survivors) {
    ClearSnapshotFiles(bFirstList);
    indices.clear();
    survivors.clear();
    const CKelObList& containers = target.body.GetContainerList();
    int nIndex = 0;
    for (POSITION pos = containers.GetHeadPosition(); pos != nullptr; ++nIndex) {
        auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, containers.GetNext(pos));
        if (pContainer == nullptr)
            continue;
        bool bOnTrack = false;
        bool bElsewhere = false;
        for (INT_PTR m = 0; m < pContainer->GetContentCount(); ++m) {
            const CKelSBContentBaseObj* pContent = pContainer->GetContentObj(m);
            (pContent != nullptr && pContent->GetTrackIndex() == nTrack ? bOnTrack : bElsewhere) =
                true;
        }
        if (!bOnTrack && bElsewhere)
            continue; // an empty container goes with any track, as the model removes it
        SaveContainerSnapshot(*pContainer, &target.scene, bFirstList);
        indices.push_back(nIndex);
        if (bElsewhere)
            survivors.push_back(nIndex);
    }
}

bool CKelSBEditURBaseCmd::PutBackContainersOfTrack(
    const Target& target, std::vector<std::unique_ptr<CKelSBContainerObj>>& containers,
    const std::vector<int>& indices, const std::vector<int>& survivors, int nCountBefore) {
    const auto nGone = static_cast<int>(indices.size() - survivors.size());
    if (containers.size() != indices.size() || survivors.size() > indices.size() ||
        !std::is_sorted(indices.begin(), indices.end()) ||
        target.body.GetContainerCount() != nCountBefore - nGone)
        return false;
    // Where each survivor stands now: behind it, the containers that went are missing.
    std::vector<int> current;
    for (int nSurvivor : survivors) {
        const auto nBefore =
            std::lower_bound(indices.begin(), indices.end(), nSurvivor) - indices.begin();
        const auto nSurvivorsBefore =
            std::lower_bound(survivors.begin(), survivors.end(), nSurvivor) - survivors.begin();
        current.push_back(nSurvivor - static_cast<int>(nBefore - nSurvivorsBefore));
    }
    kel::edit::TrackListUpkeep lists(target.body);
    for (auto it = current.rbegin(); it != current.rend(); ++it) {
        if (const CKelSBContainerObj* pLeft = target.body.GetContainerObj(*it))
            lists.Remove(*pLeft);
        kel::edit::TakeContainerAt(target.body, *it).reset();
    }
    CKelContentIconMaker icons(target.scene.GetPieceList());
    std::vector<const CKelSBContainerObj*> back;
    for (std::size_t i = 0; i < containers.size(); ++i) {
        CKelSBContainerObj& container = *containers[i];
        kel::edit::InsertContainerAt(target.body, indices[i], std::move(containers[i]));
        kel::edit::DetachPieces(container, &target.scene);
        icons.MakeFor(container);
        back.push_back(&container);
    }
    containers.clear();
    // Into the track lists once all are in: the container indices the lists are ordered by are
    // then final, and found once rather than after every insertion.
    for (const CKelSBContainerObj* pContainer : back)
        lists.Insert(*pContainer);
    lists.Done();
    return true;
}

// ---- Running a step ----------------------------------------------------------------------------

CKelSBEditorServices* CKelSBEditURBaseCmd::GetEditor() const {
    auto* pOwner = static_cast<CKelSBEditorServices*>(m_pOwner);
    if (pOwner == nullptr)
        return nullptr;
    if (CKelSBEditorServices::IsLive(pOwner))
        return pOwner;
    // The history outlived the editor that recorded it; the module's current one shows the same
    // storyboard now.
    return KelSBCurrentEditor();
}

int CKelSBEditURBaseCmd::RunStep(const std::function<int(Target&)>& step) {
    try {
        CKelSBEditorServices* pEditor = GetEditor();
        CKelPlaySceneObj* pScene = pEditor ? pEditor->GetCurScene() : nullptr;
        CKelSBBodyObj* pBody = pEditor ? pEditor->GetCurSBBody() : nullptr;
        if (pScene == nullptr || pBody == nullptr)
            return 0;
        Target target{*pEditor, *pScene, *pBody};
        return step(target);
    } catch (...) {
        return 0;
    }
}
