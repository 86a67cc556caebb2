#include "host/services/effect_editor.h"

#include "host/effects/io_effect.h"
#include "host/effects/io_wait.h"
#include "host/scene/play_piece.h"
#include "host/services/module_rc.h"
#include "platform/controls.h"
#include "platform/dialog.h"

#include <charconv>
#include <string>
#include <vector>

namespace {

struct EffectSettings {
    CString name;
    DWORD duration = 1;
    int direction = 0;
    DWORD waitFields = 0;
    bool operator==(const EffectSettings&) const = default;
};

const char* const kDirections[] = {"From Left", "From Right", "From Top", "From Bottom"};
const char* const kPhaseNames[] = {"In Effect", "Stay Effect", "Out Effect"};

DialogItemTemplate item(UINT id, const char* windowClass, const char* caption, DWORD style, int x,
                        int y, int cx, int cy) {
    return DialogItem(id, windowClass, caption, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy);
}

DialogTemplate editorTemplate(const CString& caption) {
    DialogTemplate t;
    t.caption = caption;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    t.cx = 170;
    t.cy = 104;
    t.fontName = "Tahoma";
    t.fontSize = 8;
    constexpr DWORD list = CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL;
    t.items = {
        item(0xFFFF, "STATIC", "Effect", SS_LEFT, 7, 10, 50, 8),
        item(KEL_EFFECT_EDIT_NAME, "COMBOBOX", "", list, 60, 8, 100, 80),
        item(0xFFFF, "STATIC", "Duration (frames)", SS_LEFT, 7, 28, 52, 8),
        item(KEL_EFFECT_EDIT_DURATION, "EDIT", "", WS_BORDER | WS_TABSTOP, 60, 26, 60, 12),
        item(0xFFFF, "STATIC", "Direction", SS_LEFT, 7, 46, 50, 8),
        item(KEL_EFFECT_EDIT_DIRECTION, "COMBOBOX", "", list, 60, 44, 100, 80),
        item(0xFFFF, "STATIC", "Wait (fields)", SS_LEFT, 7, 64, 50, 8),
        item(KEL_EFFECT_EDIT_WAIT, "EDIT", "", WS_BORDER | WS_TABSTOP, 60, 62, 60, 12),
        item(IDOK, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 50, 84, 50, 14),
        item(IDCANCEL, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 110, 84, 50, 14),
    };
    return t;
}

// A whole decimal number within [low, high]; anything else is refused.
bool parseCount(const CString& text, DWORD low, DWORD high, DWORD& value) {
    CString trimmed = text;
    trimmed.Trim();
    const std::string& s = trimmed.str();
    unsigned long long parsed = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), parsed);
    if (s.empty() || error != std::errc() || end != s.data() + s.size() || parsed < low ||
        parsed > high)
        return false;
    value = static_cast<DWORD>(parsed);
    return true;
}

class CKelEffectEditDlg : public CDialog {
public:
    CKelEffectEditDlg(const EffectSettings& initial, bool hasWait)
        : m_initial(initial), m_hasWait(hasWait) {}

    // The settings that OK accepted; only meaningful when Accepted().
    const EffectSettings& Result() const { return m_result; }
    bool Accepted() const { return m_accepted; }

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        std::vector<CString> names = {CKelIOSoftEffectBaseObj::kCopy,
                                      CKelIOSoftEffectBaseObj::kFade,
                                      CKelIOSoftEffectBaseObj::kWipe};
        // A name the renderer does not know is kept as it is, not silently replaced.
        bool known = false;
        for (const CString& n : names)
            known = known || n == m_initial.name;
        if (!known && !m_initial.name.IsEmpty())
            names.push_back(m_initial.name);
        int selected = 0;
        for (std::size_t i = 0; i < names.size(); ++i) {
            SendDlgItemMessage(KEL_EFFECT_EDIT_NAME, CB_ADDSTRING, 0,
                               reinterpret_cast<LPARAM>(names[i].GetString()));
            if (names[i] == m_initial.name)
                selected = static_cast<int>(i);
        }
        SendDlgItemMessage(KEL_EFFECT_EDIT_NAME, CB_SETCURSEL, static_cast<WPARAM>(selected));
        for (const char* direction : kDirections)
            SendDlgItemMessage(KEL_EFFECT_EDIT_DIRECTION, CB_ADDSTRING, 0,
                               reinterpret_cast<LPARAM>(direction));
        SendDlgItemMessage(KEL_EFFECT_EDIT_DIRECTION, CB_SETCURSEL,
                           static_cast<WPARAM>(m_initial.direction));
        SetItemText(KEL_EFFECT_EDIT_DURATION, m_initial.duration);
        SetItemText(KEL_EFFECT_EDIT_WAIT, m_initial.waitFields);
        if (CWnd* wait = GetDlgItem(KEL_EFFECT_EDIT_WAIT); wait && !m_hasWait)
            wait->EnableWindow(FALSE);
        return TRUE;
    }

    void OnOK() override {
        EffectSettings chosen = m_initial;
        const LRESULT nameIndex = SendDlgItemMessage(KEL_EFFECT_EDIT_NAME, CB_GETCURSEL);
        if (nameIndex >= 0) {
            CString name;
            SendDlgItemMessage(KEL_EFFECT_EDIT_NAME, CB_GETLBTEXT, static_cast<WPARAM>(nameIndex),
                               reinterpret_cast<LPARAM>(&name));
            chosen.name = name;
        }
        const LRESULT direction = SendDlgItemMessage(KEL_EFFECT_EDIT_DIRECTION, CB_GETCURSEL);
        if (direction >= 0 && direction < 4)
            chosen.direction = static_cast<int>(direction);
        if (!parseCount(ItemText(KEL_EFFECT_EDIT_DURATION), 1,
                        CKelIOSoftEffectBaseObj::kMaxPlayDuration, chosen.duration)) {
            Refuse("The play duration must be a whole number of frames from 1 to 2160000.");
            return;
        }
        if (m_hasWait && !parseCount(ItemText(KEL_EFFECT_EDIT_WAIT), 0,
                                     CKelIOWaitObj::kMaxWaitFields, chosen.waitFields)) {
            Refuse("The wait must be a whole number of fields from 0 to 100000.");
            return;
        }
        m_result = chosen;
        m_accepted = true;
        CDialog::OnOK();
    }

private:
    CString ItemText(int id) const {
        const CWnd* control = GetDlgItem(id);
        return control ? control->GetWindowText() : CString();
    }
    void SetItemText(int id, DWORD value) {
        if (CWnd* control = GetDlgItem(id))
            control->SetWindowText(std::to_string(value).c_str());
    }
    // The dialog stays open on a value it cannot take.
    void Refuse(const char* why) {
        MessageBox(why, CKelModuleRC::GetHostCaption().GetString(), MB_OK | MB_ICONEXCLAMATION);
    }

    EffectSettings m_initial;
    EffectSettings m_result;
    bool m_hasWait = false;
    bool m_accepted = false;
};

} // namespace

int KelIOSoftEditEffectObj(CKelPlayBaseObj* piece, CRect /*pieceRect*/, int ioState,
                           CKelIOWaitObj* waitIn, CKelIOWaitObj* waitStay, CKelIOWaitObj* waitOut,
                           CKelIOSoftEffectBaseObj* effectIn, CKelIOSoftEffectBaseObj* effectStay,
                           CKelIOSoftEffectBaseObj* effectOut, int /*mixMode*/,
                           CKelObList* /*pieceObjects*/, CWnd* parent) {
    // The rectangle, mix mode and object list serve a live preview, which this editor leaves to
    // the host's effect preview.
    if (!piece || ioState < 0 || ioState > 2)
        return 0;
    CKelIOSoftEffectBaseObj* const effects[] = {effectIn, effectStay, effectOut};
    CKelIOWaitObj* const waits[] = {waitIn, waitStay, waitOut};
    CKelIOSoftEffectBaseObj* effect = effects[ioState];
    CKelIOWaitObj* wait = waits[ioState];
    if (!effect)
        return 0;

    EffectSettings initial;
    initial.name = effect->GetEffectName();
    initial.duration = effect->GetPlayDuration();
    initial.direction = effect->GetDirection();
    initial.waitFields = wait ? wait->GetWaitFields() : 0;

    CString caption = kPhaseNames[ioState];
    if (!piece->GetName().IsEmpty())
        caption += " - " + piece->GetName();
    CKelEffectEditDlg dialog(initial, wait != nullptr);
    if (!dialog.InitModalIndirect(editorTemplate(caption),
                                  parent && IsWindow(parent) ? parent : nullptr))
        return 0;
    if (dialog.DoModal() != IDOK || !dialog.Accepted())
        return 0;
    const EffectSettings& chosen = dialog.Result();
    if (chosen == initial)
        return 0;
    effect->SetEffectName(chosen.name);
    effect->SetPlayDuration(chosen.duration);
    effect->SetDirection(chosen.direction);
    if (wait)
        wait->SetWaitFields(chosen.waitFields);
    return 1;
}
