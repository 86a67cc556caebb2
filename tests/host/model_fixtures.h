// Small builders for storyboard model tests.
#pragma once

#include "host/base/kel_guid.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "platform/archive.h"
#include "platform/file.h"
#include "platform/file_faults.h"

#include <cerrno>
#include <vector>

namespace kel::test {

// A new material of kind T on a track between two frames.
template <class T>
T* MakeContent(int nTrack, DWORD dwIn, DWORD dwOut) {
    auto* p = new T;
    p->Init(static_cast<WORD>(nTrack), KelGUID::New(), dwIn, dwOut, nullptr);
    return p;
}

// Puts the materials into one new container of the storyboard and rebuilds its lists.
inline CKelSBContainerObj* AddContainer(CKelSBBodyObj& body,
                                        std::vector<CKelSBContentBaseObj*> contents) {
    auto* pContainer = new CKelSBContainerObj;
    for (auto* p : contents)
        pContainer->AddContent(p);
    body.AddContainer(pContainer);
    body.ResetAllTrackContentList();
    return pContainer;
}

// (track, story in) of every material of a track, in the track's list order.
inline std::vector<std::pair<int, DWORD>> TrackRow(const CKelSBBodyObj& body, int nTrack) {
    std::vector<std::pair<int, DWORD>> row;
    const CObList& list = body.GetTrackObj(nTrack)->GetContentList();
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;) {
        const auto* p = static_cast<const CKelSBContentBaseObj*>(list.GetNext(pos));
        row.emplace_back(p->GetTrackIndex(), p->GetStoryIn());
    }
    return row;
}

// A model object stored to bytes, and loaded back from them.
template <class T>
std::vector<BYTE> Store(T& object) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        object.Serialize(ar);
        ar.Close();
    }
    return file.Detach();
}

template <class T>
void Load(T& object, std::vector<BYTE> bytes) {
    CMemFile file(std::move(bytes));
    CArchive ar(&file, CArchive::load);
    object.Serialize(ar);
}

// Makes every file write fail as on a full disk while it lives.
class FullDisk {
public:
    FullDisk() {
        kel::platform::SetFileFaultHook([](kel::platform::FileOp op, const char*) {
            return op == kel::platform::FileOp::write ? ENOSPC : 0;
        });
    }
    ~FullDisk() { kel::platform::SetFileFaultHook({}); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
};

} // namespace kel::test
