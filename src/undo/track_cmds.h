// Commands of the track menu and the storyboard properties.
//
// Appending, inserting and moving a track are taken back by the track's index alone: the model
// renumbers the materials with the tracks. Deleting, cutting and pasting a track change
// containers too (a container may hold materials on several tracks), so those commands keep a
// snapshot of every container of the storyboard and put the whole container list back, and a
// copy of the track that goes, so that it comes back locked or kept off the air as it was. The
// properties command keeps the values the next call puts back and swaps them each time.
#pragma once

#include "undo/sbedit_ur_cmd.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"

#include <memory>
#include <vector>

// "Append Subtitle Track".
class CKelURSBAppendTrackCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    int Undo() override;
    int Redo(int bFirst) override;

    int m_nTrackIndex = -1; // the appended track: the track count minus one after appending
    // The track as the last undo took it away: its flags change without a step of their own,
    // so the redo gives back these, not a fresh track's.
    std::unique_ptr<CKelSBTrackObj> m_pTrack;
};

// "Insert Subtitle Track".
class CKelURSBInsertTrackCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    int Undo() override;
    int Redo(int bFirst) override;

    int m_nTrackIndex = -1;                   // where the new track went in
    std::unique_ptr<CKelSBTrackObj> m_pTrack; // as for the append
};

// "Move Up Subtitle Track". The index follows the track on every call.
class CKelURSBMoveupTrackCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    int Undo() override;
    int Redo(int bFirst) override;

    int m_nTrackIndex = -1; // where the moved track is now (its old index minus one)
};

// "Move Down Subtitle Track". The index follows the track on every call.
class CKelURSBMovedownTrackCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    int Undo() override;
    int Redo(int bFirst) override;

    int m_nTrackIndex = -1; // where the moved track is now (its old index plus one)
};

// What the delete and cut commands keep of a track that went: where it was, a copy of it, and
// a snapshot of every container of the storyboard (first list) with its index.
struct KelSBRemovedTrack {
    int nTrackIndex = -1;
    int nContainerCount = 0;                // before the removal
    std::vector<int> containerIndices;      // the track's containers: file i belongs to index i
    std::vector<int> survivors;             // those that keep materials on other tracks
    std::unique_ptr<CKelSBTrackObj> pTrack; // the track's own settings
};

// "Delete Subtitle Track". The operation calls Record before it deletes the track. The snapshots
// are written once: every redo starts from the storyboard they were taken of.
class CKelURSBDeleteTrackCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    int Undo() override;
    int Redo(int bFirst) override;

    // Takes the track index, a copy of the track and a snapshot of every container of the
    // current storyboard. 0 without a storyboard.
    int Record(int nTrackIndex);

    KelSBRemovedTrack m_removed;
};

// "Cut Subtitle Track". The operation calls Record before it cuts the track; the track index is
// part of the record, so undo puts the track back where it was.
class CKelURSBCutTrackCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    // The clipboard keeps the cut track.
    int Undo() override;
    // Cuts the track again; the clipboard then holds it alone, as after the cut.
    int Redo(int bFirst) override;

    int Record(int nTrackIndex);

    KelSBRemovedTrack m_removed;
};

// "Paste Subtitle Track". The first Undo snapshots the containers (second list) and keeps a copy
// of the pasted track before it deletes the track; Redo puts the track back, empty, and the
// containers as they were.
class CKelURSBPasteTrackCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    int Undo() override;
    int Redo(int bFirst) override;

    int m_nTrackIndex = -1;    // where the pasted track went in
    int m_nContainerCount = 0; // with the pasted track
    std::vector<int> m_arrContainerIndices;
    std::vector<int> m_arrSurvivors;
    std::unique_ptr<CKelSBTrackObj> m_pTrack; // taken by Undo
};

// "Set Storyboard Properties". Filled before the properties dialog opens, registered only when
// the dialog changed something. Undo and Redo are the same swap.
class CKelURSBSettingsCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
    int Undo() override;
    int Redo(int bFirst) override;

    // Takes the current storyboard's values. 0 without a storyboard.
    int Record();

    // The name and the five values the properties dialog edits: after a call, those the next
    // call puts back.
    CKelSBBodyAttr m_attr;

private:
    int Swap();
};

namespace kel::undo {
struct Kind;
// This family's commands as plain data (ur_cmd_kind.h), for a history recovered after a crash.
std::vector<Kind> TrackCommandKinds();
} // namespace kel::undo
