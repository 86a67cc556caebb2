// The editor on the sample, for operations as the user runs them: what they sent to the host's
// windows, what they asked, and whether they left a step in the history.
#pragma once

#include "dialog/module_instance.h"
#include "undo/undo_fixture.h"

#include "host/sbobject/sb_container.h"
#include "host/services/effect_editor.h"
#include "host/services/module_rc.h"
#include "platform/controls.h"

#include <string>
#include <vector>

namespace kel::test {

class OperationTest : public UndoTest {
protected:
    // The steps that undo can take back.
    int Steps() const { return History().GetUndoStepCount(); }
    std::string LastStepText() const {
        const std::vector<CString> names = History().GetStepNames();
        return names.empty() ? std::string() : names.back().str();
    }
    bool MarkedModified() const { return !mainWnd.Named(WM_CG_FILE_SETDIRTY_FLAG).empty(); }
    // The flags the edit dialog relayed to the host's frame with WM_CG_ENABLE_ALL_PANEL_STUFF.
    std::vector<WPARAM> PanelSwitches() const {
        std::vector<WPARAM> flags;
        for (const ReceivedMessage& m : parent.Named(WM_CG_ENABLE_ALL_PANEL_STUFF))
            flags.push_back(m.wParam);
        return flags;
    }
    std::vector<int> SelectedTracks() const {
        std::vector<int> tracks;
        CObList& list = view->Selection().GetSelTrackList();
        for (POSITION pos = list.GetHeadPosition(); pos;)
            tracks.push_back(
                Body().GetTrackIndex(static_cast<const CKelSBTrackObj*>(list.GetNext(pos))));
        return tracks;
    }
    std::size_t BoxesShown() const { return headless->MessageBoxes().size(); }
    // The next effect editor answered: its effect name set to `name` and accepted, or
    // cancelled (null).
    void AnswerEffectEditor(const char* name) {
        headless->QueueModal([name](CWnd& dialog) {
            if (!name) {
                dialog.SendMessage(WM_COMMAND, IDCANCEL);
                return IDCANCEL;
            }
            auto* names = dynamic_cast<CComboBox*>(dialog.GetDlgItem(KEL_EFFECT_EDIT_NAME));
            EXPECT_NE(names, nullptr);
            if (names)
                names->SetCurSel(names->FindStringExact(-1, name));
            dialog.SendMessage(WM_COMMAND, IDOK);
            return IDOK;
        });
    }
    // A text of the module's string table.
    static std::string Text(UINT nId) {
        return CKelModuleRC::LoadStringW(kel::sbedit::ModuleInstance(), nId).str();
    }
    // Uploads through the dialog's button, as the user loads the storyboard onto the output.
    void Load() {
        dlg->RunButton(IDC_BTN_UPLOAD);
        ASSERT_TRUE(dlg->IsLoaded());
    }
};

} // namespace kel::test
