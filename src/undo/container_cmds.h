// Commands that add, remove, merge or split whole containers.
//
// Merge, split and putting the host's items on the storyboard keep copies of containers (and
// tracks) in memory: merge and split a copy of each container they change, as it was, so that
// undo puts those back (a storyboard of tens of thousands of materials is not copied for a merge
// of two). Deleting containers and dragging materials in keep their containers in snapshot
// files instead. Every call works on fresh copies of what the command keeps, so the
// command stays valid through any number of undos and redos.
#pragma once

#include "edit/edit_delete.h"
#include "edit/edit_find.h"
#include "undo/sbedit_ur_cmd.h"

#include "platform/win_types.h"

#include <memory>
#include <vector>

class CKelSBContainerObj;
class CKelSBTrackObj;

// Copies of containers of a storyboard as they were (with copies of their pieces), each with
// the index it stood at: copy i belongs to index i.
struct KelSBContainerCopies {
    KelSBContainerCopies();
    ~KelSBContainerCopies();
    KelSBContainerCopies(const KelSBContainerCopies&) = delete;
    KelSBContainerCopies& operator=(const KelSBContainerCopies&) = delete;

    std::vector<int> indices;
    std::vector<std::unique_ptr<CKelSBContainerObj>> copies;

    std::size_t HeldBytes() const;
    // As plain data (ur_cmd_kind.h). Read appends the copies it reads.
    void Write(kel::host::URRecordWriter& out) const;
    void Read(kel::host::URRecordReader& in);
};

// "Merge Materials". The first merged container receives the materials of the others, in the
// order they are listed (the order the operation appended them), and the others go. Redo replays
// exactly that, so the receiving container's materials come back in the same order and later
// steps that find materials by index find the same ones.
class CKelURSBUnionContainerCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    // The merged containers as they were, where they were; the selection empty.
    int Undo() override;
    int Redo(int bFirst) override;

    std::size_t GetHeldBytes() const override;

    // Keeps a copy of each container of m_arrMergedContainers (with its pieces); the operation
    // sets those and calls it before it merges. 0 without a storyboard or when one is missing.
    int RecordContainers();

    kel::edit::Focus m_focus;
    std::vector<int> m_arrMergedContainers; // the receiving container first, then in merge order
    KelSBContainerCopies m_recorded;        // in the order of m_arrMergedContainers
};

// "Split Materials". Each split container keeps its first material; every other material goes
// alone into a new container, and the new containers are appended in the order the containers
// were listed (the order the operation split them) and their materials lay.
class CKelURSBSplitContainerCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    // The new containers go and the split ones are as they were; the selection empty.
    int Undo() override;
    // The new containers end up selected. 0 when they cannot be made.
    int Redo(int bFirst) override;

    std::size_t GetHeldBytes() const override;

    // As the merge's, for m_arrSplitContainers.
    int RecordContainers();

    kel::edit::Focus m_focus;
    std::vector<int> m_arrSplitContainers; // in the order the operation split them
    KelSBContainerCopies m_recorded;       // in the order of m_arrSplitContainers
};

// "Put Selected Items To Storyboard(In)" / "...(In,Stay,Out)". Registered before the items are
// added, with where the new tracks and containers will go: each item gets a new track at the
// first added track index (or appended) and its containers are appended to the container list.
// The operation sets the number of tracks it really added once it is done (it stops at the
// track limit or at a movie it cannot read), so that undo removes those and no other.
class CKelURSBAddItemToSBCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    // Takes the added containers and tracks out, keeping copies for Redo, and selects what was
    // selected before.
    int Undo() override;
    int Redo(int bFirst) override;
    std::size_t GetHeldBytes() const override;

    kel::edit::Focus m_focus;
    int m_nFirstAddedContainer = -1; // the container count before the add
    int m_nFirstAddedTrack = -1;
    int m_nAddedTrackCount = 0;
    std::vector<int> m_arrSelectedContainers; // before the change
    // Filled by Undo: copy i goes back at index i.
    KelSBContainerCopies m_addedContainers;
    std::vector<int> m_arrAddedTracks;
    std::vector<std::unique_ptr<CKelSBTrackObj>> m_arrTrackCopies;
};

// "Delete Objects" / "Cut Objects". The operation saves every selected container with
// SaveContainer, from the highest index down, before it changes anything (ripple included),
// then deletes them, and records each ripple shift it makes with AddRippleShift in the order it
// makes them. Undo moves the rippled materials back and puts the containers where they were;
// Redo deletes them and ripples again.
class CKelURSBDeleteContainerCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    int Undo() override;
    int Redo(int bFirst) override;

    // Snapshot of the container at nIndex (first list) with copies of its pieces; the index is
    // recorded with it. 0 without a storyboard or container there.
    int SaveContainer(int nIndex);
    // The materials of the track starting at dwFrom or later moved by nDelta frames.
    void AddRippleShift(int nTrack, DWORD dwFrom, long nDelta);

    using RippleShift = kel::edit::RippleShift;

    kel::edit::Focus m_focus;
    std::vector<int> m_arrRemovedContainers; // in the order removed, descending; file i, index i
    std::vector<RippleShift> m_arrRippleShifts;
};

// "Drag In Materials" / "Fixed Point Paste": materials dropped from outside, each in a new
// container appended to the list, on the drop track; materials of that track at or after the
// threshold pushed right by the shift (0 when nothing was pushed). Undo saves the new containers
// (first list) before it takes them out; Redo reads them back.
class CKelURSBDragFromOutCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    int Undo() override;
    int Redo(int bFirst) override;

    int m_nShift = 0;
    int m_nDropTrack = -1;
    DWORD m_dwShiftThreshold = 0xFFFFFFFFu;
    int m_nFirstNewContainer = -1;
    int m_nNewContainerCount = 0;
    std::vector<int> m_arrSelectedContainers; // before the drop
    kel::edit::Focus m_focus;                 // before the drop
    std::vector<int> m_arrRestoredContainers;
};

namespace kel::undo {
struct Kind;
// These commands as plain data (ur_cmd_kind.h), for a history recovered after a crash: merge and
// split in container_merge_cmds.cpp, the others in container_cmds.cpp, each beside its commands.
std::vector<Kind> ContainerMergeCommandKinds();
std::vector<Kind> ContainerCommandKinds();
} // namespace kel::undo
