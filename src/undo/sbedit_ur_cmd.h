// The base of every undo/redo command of the editor, with its snapshot store.
//
// A command records one change to the current storyboard so that the storyboard's history can
// take it back (Undo) and make it again (Redo(0)). Commands keep no pointers into the
// storyboard: only indices, frames, copies of their own and snapshots. A snapshot is an object
// written to the history manager's snapshot store under a name it hands out; a command writes a
// container there with copies of its pieces attached, and reads it back as a new object each
// time it needs it.
//
// Every Undo and Redo first makes sure that it can finish: snapshots are read and indices looked
// up before anything changes. When something is missing the command changes nothing and returns
// 0, and the dialog clears the history. No exception leaves a command.
#pragma once

#include "host/base/kel_guid.h"
#include "host/undo/ur_manager.h"
#include "platform/collections.h"
#include "platform/cstring.h"

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class CKelObject;
class CKelSBEditorServices;
class CKelPlayBaseObj;
class CKelPlaySceneObj;
class CKelSBBodyObj;
class CKelSBContainerObj;

namespace kel::host {
class URRecordWriter;
class URRecordReader;
} // namespace kel::host

class CKelSBEditURBaseCmd : public CKelURCmd {
public:
    // The editor is the command's owner; nTextId and strText are its history text.
    CKelSBEditURBaseCmd(CKelSBEditorServices* pEditor, unsigned int nTextId, CString strText);
    // Removes every snapshot file the command still has.
    ~CKelSBEditURBaseCmd() override;

    // Itself, its snapshots (in the store or in memory) and its piece copies.
    std::size_t GetHeldBytes() const override;
    // The bytes an object takes when written: what a copy of it holds, near enough.
    static std::size_t ObjectBytes(const CObject* pObject);

    // Both do nothing and return 1; every command overrides them. Redo(1) is the first
    // execution: the editing operation has made the change itself, so every command returns 1
    // without touching anything.
    int Undo() override;
    int Redo(int bFirst) override;

    // Writes the object to a new snapshot at the end of the first list (bFirstList non-zero) or
    // the second. The object stays where it is. When the snapshot store cannot keep it (disk
    // full, no folder), the command keeps a copy of the object in memory instead, so that
    // nothing is lost.
    // Returns 0 only when even that failed; the list then holds an empty entry, so that later
    // entries keep their places and restoring this one reports failure.
    virtual int SaveObjectSnapshot(CObject* pObject, int bFirstList);
    // Forgets the snapshots of one list and empties it. Returns 1.
    virtual int ClearSnapshotFiles(int bFirstList);
    // Reads the object of a snapshot and inserts it into pList before the object at
    // nIndex, or at the tail when the list is shorter. Returns 0, inserting nothing, without an
    // owner editor or when the snapshot cannot be read or does not hold exactly one object.
    virtual int RestoreObjectSnapshot(CString strFile, CObList* pList, int nIndex);

    // The snapshot names of a list, in the order written; an entry kept in memory has an empty
    // name.
    const CStringArray& GetSnapshotFiles(int bFirstList) const {
        return bFirstList ? m_arrFirstFiles : m_arrSecondFiles;
    }
    int GetSnapshotCount(int bFirstList) const {
        return static_cast<int>(GetSnapshotFiles(bFirstList).GetSize());
    }
    // Whether snapshot i of a list is kept in memory because the store could not keep it.
    bool IsSnapshotInMemory(int bFirstList, int i) const;

    // The editor that created the command while it exists; after it was destroyed (the dialog
    // window was created again), the module's current editor. Null when there is none.
    CKelSBEditorServices* GetEditor() const;

    // What a step of Undo or Redo works on: the editor, its scene and the current storyboard.
    struct Target {
        CKelSBEditorServices& editor;
        CKelPlaySceneObj& scene;
        CKelSBBodyObj& body;
    };

    // Reads snapshot i of a list as a new object (the caller owns it), with the piece copies
    // that went with it; null when it cannot be read or holds anything but one object.
    std::unique_ptr<CObject> LoadSnapshot(int bFirstList, int i) const;
    // Reads every snapshot of a list as containers, all or nothing: false when one of them
    // cannot be read or is no container. With a scene, the containers come as they will stay
    // in its storyboard: a material whose piece the scene holds gets no copy of it.
    bool LoadContainerSnapshots(int bFirstList,
                                std::vector<std::unique_ptr<CKelSBContainerObj>>& containers,
                                const CKelPlaySceneObj* pScene = nullptr) const;
    // Saves the container as if its pieces were attached: every material whose piece the scene
    // holds comes back with a copy of that piece as it is now. The command keeps one copy a
    // piece, however many materials and snapshots use it, instead of one in every snapshot.
    int SaveContainerSnapshot(CKelSBContainerObj& container, const CKelPlaySceneObj* pScene,
                              int bFirstList);
    // A track's containers: those with a material on the track, in list order, saved into a list
    // whose old files go first; indices gets their indices, and survivors those of them that
    // also hold materials on other tracks (removing the track leaves them smaller, not gone).
    // The other containers only see their track numbers move, which the track's return undoes.
    void SnapshotContainersOnTrack(const Target& target, int bFirstList, int nTrack,
                                   std::vector<int>& indices, std::vector<int>& survivors);
    // The restore of a track's containers once the track is back (see
    // SnapshotContainersOnTrack): what is left of the survivors goes, and each container read
    // back goes in at its index. Nothing changes and false when the storyboard does not hold
    // the number of containers the removal left, or the containers do not match the indices.
    static bool PutBackContainersOfTrack(
        const Target& target, std::vector<std::unique_ptr<CKelSBContainerObj>>& containers,
        const std::vector<int>& indices, const std::vector<int>& survivors, int nCountBefore);

    // What every command keeps beyond its own fields, as plain data for a recovered history
    // (ur_cmd_records.cpp): the snapshots' bytes and the piece copies. Both throw
    // kel::host::URRecordError when it cannot be written or read.
    void WriteBaseRecord(kel::host::URRecordWriter& out) const;
    void ReadBaseRecord(kel::host::URRecordReader& in);

protected:
    // Runs a step on the current storyboard and returns its result; 0 without an editor, scene or
    // storyboard, and 0 when the step throws.
    int RunStep(const std::function<int(Target&)>& step);

    CStringArray m_arrFirstFiles;
    CStringArray m_arrSecondFiles;

private:
    std::vector<std::unique_ptr<CKelObject>>& MemoryCopies(int bFirstList) {
        return bFirstList ? m_firstInMemory : m_secondInMemory;
    }
    const std::vector<std::unique_ptr<CKelObject>>& MemoryCopies(int bFirstList) const {
        return bFirstList ? m_firstInMemory : m_secondInMemory;
    }
    void Record(int bFirstList, const CString& strFile, std::unique_ptr<CKelObject> pCopy);
    // For each material of snapshot i of a list, in the container's order, the piece whose
    // copy goes with it (a null GUID for none).
    using PieceRefs = std::vector<KelGUID>;
    std::vector<PieceRefs>& PieceRefsOf(int bFirstList) {
        return bFirstList ? m_firstPieces : m_secondPieces;
    }
    const std::vector<PieceRefs>& PieceRefsOf(int bFirstList) const {
        return bFirstList ? m_firstPieces : m_secondPieces;
    }
    // Gives each material of a loaded container the piece copy that went with it, except
    // where `pScene` holds the piece.
    void AttachPieceCopies(CObject& object, const PieceRefs& refs,
                           const CKelPlaySceneObj* pScene) const;
    std::vector<PieceRefs> m_firstPieces;
    std::vector<PieceRefs> m_secondPieces;
    std::unordered_map<KelGUID, std::unique_ptr<CKelPlayBaseObj>> m_pieceCopies;

    // Entry i belongs to file i of the same list: the copy of a snapshot that could not be
    // written, else null.
    std::vector<std::unique_ptr<CKelObject>> m_firstInMemory;
    std::vector<std::unique_ptr<CKelObject>> m_secondInMemory;
};
