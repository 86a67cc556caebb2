// How every editing operation records its change: one sequence, written once.
//
//     auto pCmd = KelSBNewCommand<CKelURSBDeleteSpaceCmd>(this, IDS_HIST_DELETE_SPACE);
//     ... fill the command's fields ...
//     KelSBRegisterCommand(this, std::move(pCmd));
//
// An operation that still brings the storyboard or the view up to date after registering
// (rebuilding track lists, emptying a selection that names deleted containers) opens a
// KelSBEditScope first, so that the debug check runs once the operation is complete.
#pragma once

#include "platform/cstring.h"
#include "platform/win_types.h"

#include <memory>

class CKelSBEditorServices;
class CKelSBEditURBaseCmd;

// The history text of a command (its string id in the module's table).
CString KelSBLoadHistoryText(UINT nTextId);

// A new command of the editor with its history text.
template <class Cmd>
std::unique_ptr<Cmd> KelSBNewCommand(CKelSBEditorServices* pEditor, UINT nTextId) {
    return std::make_unique<Cmd>(pEditor, nTextId, KelSBLoadHistoryText(nTextId));
}

// Registers a change the operation has made in the current storyboard's history:
// WM_CG_UPDATE_HISTORY (5, history) to the history panel, the command's Do (which changes
// nothing: the operation has), CKelURBase::AddCommand, WM_CG_UPDATE_HISTORY (0, history). The
// history owns the command from then on. Returns 0, destroying the command, without a current
// storyboard or when the history refuses it. Debug builds then check the document and the view
// (at the end of the enclosing KelSBEditScope, if one is open).
int KelSBRegisterCommand(CKelSBEditorServices* pEditor, std::unique_ptr<CKelSBEditURBaseCmd> pCmd);

// Brackets one editing operation of an editor. Commands registered while it is open are checked
// when the outermost scope closes. Scopes nest; they cost nothing in release builds.
class KelSBEditScope {
public:
    explicit KelSBEditScope(CKelSBEditorServices& editor);
    ~KelSBEditScope();
    KelSBEditScope(const KelSBEditScope&) = delete;
    KelSBEditScope& operator=(const KelSBEditScope&) = delete;

private:
    friend int KelSBRegisterCommand(CKelSBEditorServices*, std::unique_ptr<CKelSBEditURBaseCmd>);
    CKelSBEditorServices& m_editor;
    KelSBEditScope* m_pOuter;
    bool m_bCheckPending = false;
};
