// The runner: a headless host that owns a scene, loads the editor module, and carries out a
// script's commands one line at a time.
#pragma once

#include "dialog/automation.h"
#include "host_windows.h"
#include "hostkit/module_loader.h"
#include "json.h"
#include "script.h"
#include "script_backend.h"

#include "platform/geometry.h"
#include "platform/win_types.h"

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CWnd;
class CListBox;
class CKelPlaySceneObj;
class CKelSBBodyObj;
class CKelPlayBaseObj;

namespace kel::host {
class KelAutoSaver;
}

namespace kel::script {

using kel::hostkit::ModuleEntryPoints;
using kel::hostkit::ModuleLoader;

class Runner {
public:
    explicit Runner(std::ostream& out);
    // Closes the editor in the host's order and removes the host's windows.
    ~Runner();
    Runner(const Runner&) = delete;
    Runner& operator=(const Runner&) = delete;

    // Carries out one line; throws CommandError when the command fails or an expectation does
    // not hold.
    void Execute(const ScriptLine& line);

    // The scene a host would call current; never null.
    CKelPlaySceneObj& Scene() const { return *m_scene; }

    // Where the lines after the one running come from: a modal dialog that a script drives
    // (the storyboard list) reads the script's next lines itself until it ends.
    using LineSource = std::function<std::optional<ScriptLine>()>;
    void SetLineSource(LineSource source) { m_nextLine = std::move(source); }

    // The editor's state through the automation message, or nothing without a dialog window.
    std::optional<automation::EditorState> QueryEditor() const;
    // The scene's stored bytes with what no undo step records set alike: each storyboard's
    // frames per unit and time line position (zooming, scrubbing) and the editor's window
    // rectangle (moving, sizing).
    std::vector<BYTE> ComparableBytes() const;
    // How many commands the editor has registered with the history panel so far: tells a new
    // step of a history from a redo, which leave the same counts.
    long Registrations() const { return m_registrations; }
    // What the last `recover` found (null before one): its result and how many undo steps
    // came back ("historySteps", "historyKept").
    const Json& LastRecovery() const { return m_recovery; }

private:
    using Handler = void (Runner::*)(const ScriptLine&);
    static const std::map<std::string, Handler>& Commands();

    // --- Scene (commands_scene.cpp): the host's own model, changed as a host would.
    void Sample(const ScriptLine& line);
    void Load(const ScriptLine& line);
    void Save(const ScriptLine& line);
    void Fps(const ScriptLine& line);
    void Piece(const ScriptLine& line);
    void Storyboard(const ScriptLine& line);
    void Track(const ScriptLine& line);
    void Container(const ScriptLine& line);
    void Material(const ScriptLine& line);
    void Unpiece(const ScriptLine& line);
    void Fpu(const ScriptLine& line);
    void Timeline(const ScriptLine& line);
    // The current storyboard (or frames START to END of it) to a video file (commands_export.cpp).
    void Export(const ScriptLine& line);
    // The output's stop for the next play: it ends once it has shown FRAME, as a user's stop.
    void PlayStopAt(const ScriptLine& line);
    void Range(const ScriptLine& line);
    void Display(const ScriptLine& line);
    void DeleteMode(const ScriptLine& line);
    // The host's item selection, which WM_CG_ADD_ITEM_TO_SB reads.
    void SelectItem(const ScriptLine& line);
    void UnselectItem(const ScriptLine& line);
    CKelPlayBaseObj& RequirePiece(const std::string& name) const;

    // --- Automatic saving and recovery (commands_recovery.cpp).
    void AutoSave(const ScriptLine& line);
    // Waits as an idle host does, giving the saver its turns.
    void Idle(const ScriptLine& line);
    void Recover(const ScriptLine& line);
    // After every line: the saver hears of a possible change and gets its turn.
    void AfterLine(const ScriptLine& line);
    // The scene now belongs to `path` ("" for none): after a load, a save or a new sample.
    void SceneFileChanged(const std::string& path);
    Json BuildRecoveryState() const;

    // --- Host calls (commands_host.cpp).
    void Open(const ScriptLine& line);
    void Close(const ScriptLine& line);
    void Entry(const ScriptLine& line);
    void Send(const ScriptLine& line);
    void Show(const ScriptLine& line);
    void Hide(const ScriptLine& line);
    void Activate(const ScriptLine& line);
    void Deactivate(const ScriptLine& line);
    void Size(const ScriptLine& line);

    // --- Input (commands_input.cpp).
    void Down(const ScriptLine& line);
    void Move(const ScriptLine& line);
    void Up(const ScriptLine& line);
    void Click(const ScriptLine& line);
    void DblClick(const ScriptLine& line);
    void RClick(const ScriptLine& line);
    void Wheel(const ScriptLine& line);
    void Drag(const ScriptLine& line);
    void Key(const ScriptLine& line);
    void Button(const ScriptLine& line);
    void Command(const ScriptLine& line);
    void Scroll(const ScriptLine& line);
    // A drag from a host panel onto the view carrying piece data, ending in a drop.
    void DragIn(const ScriptLine& line);
    void DragInRaw(const ScriptLine& line);
    void RunDragIn(const std::vector<BYTE>& data, const ScriptLine& line, std::size_t firstPoint,
                   const char* format);

    // --- Scripted answers (commands_input.cpp).
    void Answer(const ScriptLine& line);
    void Menu(const ScriptLine& line);
    void Rubber(const ScriptLine& line);
    void EditAttr(const ScriptLine& line);
    void EditEffect(const ScriptLine& line);

    // --- The Storyboard List dialog (commands_list.cpp).
    struct ListStep {
        std::string verb;
        std::string argument;
    };
    void List(const ScriptLine& line);
    static std::vector<ListStep> ParseListSteps(const ScriptLine& line);
    void RunListSteps(const std::vector<ListStep>& steps);
    bool ListDialogOpen() const;
    CListBox& RequireList() const;
    int ListItem(const std::string& word) const;
    void PressListButton(int id);
    // Null when the dialog is not open.
    Json BuildListDialogState() const;

    // --- Checks a long run makes after its steps (commands_check.cpp).
    // The consistency check of the storyboard and the selection, and that no material of a
    // locked track changed since the last check (unless the history stepped back or forward).
    void Check(const ScriptLine& line);
    // `keep NAME` remembers the document as stored, `same NAME` fails unless it stores alike.
    void Keep(const ScriptLine& line);
    void Same(const ScriptLine& line);
    // What the locked tracks of the current storyboard hold, for the next check.
    struct LockedState {
        const CKelSBBodyObj* body = nullptr;
        int undoCount = 0;
        long registrations = 0;
        // Per locked track: the track and its materials (kind, story in, story out, piece).
        std::vector<std::pair<const void*, std::vector<std::string>>> tracks;
    };
    LockedState TakeLockedState() const;
    void CheckLockedTracks();

    // --- Output (state_dump.cpp).
    void Dump(const ScriptLine& line);
    void Expect(const ScriptLine& line);
    // The view painted once, whole: its drawing operations (commands_paint.cpp).
    void Paint(const ScriptLine& line);
    Json BuildState() const;
    Json BuildDialogState(const std::optional<automation::EditorState>& editor) const;
    Json BuildDocumentState() const;
    Json BuildViewState(const std::optional<automation::EditorState>& editor) const;
    Json BuildSentList() const;
    // What the host's output did: loaded or not, what the last play put on the air (the frames
    // where that changed, with how many pieces were on), the last compile's problems.
    Json BuildOutputState() const;
    Json BuildBoxList() const;
    // The pop-up menus shown since the last dump: each item by command id (text, enabled,
    // checked) and the command chosen (0 when dismissed, or when the answer was grayed).
    Json BuildMenuList() const;
    Json BuildLastDrag() const;

    // --- Shared helpers (runner.cpp).
    CKelSBBodyObj& CurrentBody() const;
    // Hands a new scene to the editor (when its window exists) before the old one goes.
    void ReplaceScene(std::unique_ptr<CKelPlaySceneObj> scene);
    // Loads the module on first use; throws when it cannot be loaded.
    const ModuleEntryPoints& Module();
    HostWindows& Hosts();
    // The editor instance (null before open and after close) and its window (null without).
    CWnd* Dialog() const;
    CWnd* DialogWindow() const;
    CWnd* RequireDialogWindow() const;
    CWnd* RequireView() const;
    // View client coordinates to screen coordinates.
    CPoint ViewToScreen(CWnd* view, const std::string& x, const std::string& y) const;
    // Resizes the dialog so that its client area is width x height.
    void SetDialogClientSize(CWnd* dialog, int width, int height);
    // A registered message sent inside the process: kept when it went to a host window or to
    // the dialog itself.
    void ObserveMessage(CWnd* target, UINT message, WPARAM wParam, LPARAM lParam);
    Json DescribeLParam(LPARAM lParam) const;
    // Runs a send of the runner's own without listing it among the editor's messages.
    LRESULT SendOwn(CWnd* target, UINT message, WPARAM wParam, LPARAM lParam) const;
    // [container, material] of a material of the current storyboard, or nothing.
    std::optional<std::pair<int, int>> LocateMaterial(const void* material) const;

    // The mouse: presses, moves and releases at a screen point.
    void MouseMessage(UINT message, CPoint screen, UINT buttons, bool shift, bool ctrl);
    // A button pressed with `press` (WM_xBUTTONDOWN or WM_xBUTTONDBLCLK) and released at
    // `screen`; the backend sees the button down between the two.
    void PressAndRelease(UINT press, CPoint screen, bool shift, bool ctrl);
    void ParseModifiers(const ScriptLine& line, std::size_t from, bool& shift, bool& ctrl,
                        bool allowLeft, bool* left) const;

    std::ostream& m_out;
    ScriptBackend& m_backend;
    // The host's current scene. The editor's view points at it without owning it.
    std::unique_ptr<CKelPlaySceneObj> m_scene;
    // Created with the first host call, so that scene-only scripts need no module.
    std::unique_ptr<HostWindows> m_hosts;
    ModuleLoader m_module;
    // Windows that `deactivate TITLE` made up to hand the activation to.
    std::vector<std::unique_ptr<CWnd>> m_otherWindows;
    // Pieces the runner creates get their identities from this counter, so a script's
    // results (and its saved files) are the same on every run.
    unsigned m_nextPieceNumber = 1000;

    // Since the last dump.
    std::vector<Json> m_sent;
    std::size_t m_boxesSeen = 0;
    std::size_t m_menusSeen = 0;
    // `deactivate` without a title: the platform still counts the dialog as active.
    bool m_deactivatedToNothing = false;
    // Set while the runner sends a registered message of its own.
    mutable bool m_ownSendPending = false;
    LineSource m_nextLine;
    // The Storyboard List dialog while it runs (modally), else null.
    CWnd* m_listDialog = nullptr;
    // Commands the editor registered with the history (as the history panel was told).
    long m_registrations = 0;
    // What the last `check` saw of the locked tracks; empty after a scene command.
    std::optional<LockedState> m_locked;
    std::map<std::string, std::vector<BYTE>> m_kept;
    // The scene file of the current scene, "" when it has none.
    std::string m_scenePath;
    // While `autosave on`; its recovery file goes at a normal end of the runner.
    std::unique_ptr<kel::host::KelAutoSaver> m_saver;
    // What the last `recover` found.
    Json m_recovery;
};

} // namespace kel::script
