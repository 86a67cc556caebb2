// Commands that change the times, tracks and effects of materials.
//
// Most keep numbers only: the track and the frame at which they find a material again (a trim, a
// clip, the space closed on a track, the shifts of same length) or its container and material
// index (a move). Materials are looked up again on every call, since undo and redo put back
// equal materials, not the same objects. Two keep copies instead and swap them with what the
// storyboard holds on every call: the In/Out mode command keeps the whole material, the FX paste
// command the effects it replaced.
//
// Each call either completes or, when a material it needs is missing or a frame is refused,
// puts back what it had changed and returns 0.
#pragma once

#include "edit/edit_arrange.h"
#include "edit/edit_clip_fx.h"
#include "edit/edit_find.h"
#include "undo/sbedit_ur_cmd.h"

#include "host/base/kel_guid.h"
#include "platform/win_types.h"

#include <functional>
#include <memory>
#include <vector>

class CKelSBContentBaseObj;
class CKelIOSoftEffectBaseObj;

// "Change Materials Size": one end of one material dragged to a new frame.
class CKelURSBChangeLengthCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    int Undo() override;
    int Redo(int bFirst) override;

    int m_nTrackIndex = -1;
    int m_nSide = 0; // 1 story in; anything else story out
    DWORD m_dwOldFrame = 0xFFFFFFFFu;
    DWORD m_dwNewFrame = 0xFFFFFFFFu;
};

// What the clip commands record: one entry per material trimmed at the time line, on its own
// track, with the trimmed end (story in for the entry point, story out for the outlet) before
// and after.
struct KelSBClipRecord {
    int bInPoint = 1;
    kel::edit::ClipRecord frames;

    // The step on the view's storyboard: every entry's end from one set of frames to the other.
    std::function<int(CKelSBEditURBaseCmd::Target&)> Step(bool bUndo) const;
};

// "Cut Materials Entry Point On Time Line": the material under the time line on each track
// trimmed at the time line.
class CKelURSBClipInCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    int Undo() override;
    int Redo(int bFirst) override;

    KelSBClipRecord m_clip;
};

// "Cut Materials Outlet Point On Time Line": as the entry point command, for the outlet.
class CKelURSBClipOutCmd : public CKelSBEditURBaseCmd {
public:
    CKelURSBClipOutCmd(CKelSBEditorServices* pEditor, unsigned int nTextId, CString strText);
    int Undo() override;
    int Redo(int bFirst) override;

    KelSBClipRecord m_clip;
};

// "Delete Space": the materials after a gap on one track moved back to its start. The frames
// are the story in of the first material after the gap before and after.
class CKelURSBDeleteSpaceCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    int Undo() override;
    int Redo(int bFirst) override;

    int m_nTrackIndex = -1;
    DWORD m_dwOldFrame = 0;
    DWORD m_dwNewFrame = 0;
};

// "Make The Selected Materials With The Same Length". Each resized material gets the new
// length; where it then ran into the next material of its track, that material and all after it
// moved right by the overlap. Shifted entry j keeps the track, the story in of the first moved
// material after it moved (the threshold) and the overlap (the amount).
//
// Undo gives the resized materials their old lengths, then moves the shifted materials back,
// last shift first: an earlier shift moved the materials of a later one too, so undoing in
// order would leave the later ones below their threshold. Redo is the exact reverse: the shifts
// first, each from its threshold less its amount, then the new lengths, since a resized
// material was found at the story in it had after the shifts before it.
class CKelURSBSameLengthCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    int Undo() override;
    int Redo(int bFirst) override;

    // The new length, the resized entries and the shifted entries.
    kel::edit::SameLengthRecord m_record;
};

// "Move Objects", "Align Left", "Align Right": materials moved in time and across tracks,
// pushing others aside. Every material the operation changed has one entry with its values
// before and after the whole operation.
class CKelURSBDragWithinSBCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    int Undo() override;
    int Redo(int bFirst) override;

    using Entry = kel::edit::MoveEntry;

    kel::edit::Focus m_focus;
    std::vector<int> m_arrSelectedContainers;
    std::vector<Entry> m_entries;

private:
    int Apply(bool bNew);
};

// "Set In Out Mode": a material's effect edited in the effect editor. The command keeps the
// material as it was (with copies of its pieces) and swaps it with the storyboard's on every
// call.
class CKelURSBIOModeCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    ~CKelURSBIOModeCmd() override;
    std::size_t GetHeldBytes() const override;
    int Undo() override;
    int Redo(int bFirst) override;

    int m_nContainerIndex = -1;
    int m_nContentIndex = -1;
    std::unique_ptr<CKelSBContentBaseObj> m_pStoredContent;

private:
    int Swap();
};

// "Replace Material Piece": a piece dropped on a material of another piece became the piece that
// material shows; the material keeps its track and times. Without this step an earlier step that
// kept a copy of the material (a merge, a delete) could later put the old piece back unasked.
class CKelURSBReplacePieceCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    int Undo() override;
    int Redo(int bFirst) override;

    kel::edit::Focus m_material; // its container and its index there
    KelGUID m_oldGUID;
    KelGUID m_newGUID;

private:
    int Apply(const KelGUID& from, const KelGUID& to);
};

// "FX Paste": the effects of the In, Stay and Out pieces of the selection replaced from the FX
// clipboards. The command keeps, per kind, the effects as they were and where each belongs (the
// pieces the paste changed: those on locked tracks were left alone), and swaps them with the
// materials' on every call.
class CKelURSBIOSoftFXPasteCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    ~CKelURSBIOSoftFXPasteCmd() override;
    std::size_t GetHeldBytes() const override;
    int Undo() override;
    int Redo(int bFirst) override;

    kel::edit::Focus m_focus;
    std::vector<int> m_arrSelectedContainers;
    // Indexed by IO state: 0 In, 1 Stay, 2 Out. Stored effect k of a kind belongs to the piece
    // at target k of that kind.
    std::vector<std::unique_ptr<CKelIOSoftEffectBaseObj>> m_arrEffects[3];
    std::vector<kel::edit::Focus> m_arrTargets[3];

private:
    int Swap();
};

namespace kel::undo {
struct Kind;
// This family's commands as plain data (ur_cmd_kind.h), for a history recovered after a crash.
std::vector<Kind> MaterialCommandKinds();
} // namespace kel::undo
