// The studio's own texts (its menus, panels and dialogs) in the three languages the editor
// speaks. The studio speaks the editor's language, chosen the same way (KELSB_LANG, else the
// locale; the studio's stored choice reaches both through KELSB_LANG), so that the workspace
// and the editor beside it never speak two languages. Qt's own translation files are not used:
// they need Qt's translation tools at build time, and these few texts read better beside the
// editor's own table of the same three languages.
#pragma once

#include "platform/resource_types.h"

#include <QString>
#include <span>

namespace kel::studio {

// One text in English, Simplified Chinese and Traditional Chinese.
struct StudioText {
    const char* en;
    const char* zhCN;
    const char* zhTW;
};

// The text in `language` (English for any language without a table).
QString In(LANGID language, const StudioText& text);

// The language the studio speaks now: the one the editor is loaded in.
LANGID StudioUiLanguage();

enum class Str : int {
    // The workspace.
    Items,
    LiveOutput,
    HistoryPanel,
    Navigator,
    ReadyHint,
    EditorCannotStart,
    SampleName,
    OpenTitle,
    SaveTitle,
    SceneFilter,
    AllFilesFilter,
    Saved,
    AskSave,
    ButtonSave,
    ButtonDiscard,
    ButtonCancel,
    ButtonOk,
    SettingsShared,
    MenuBar,
    StatusBar,
    // File.
    MenuFile,
    Open,
    Save,
    SaveAs,
    ExportVideo,
    RecentScenes,
    RecentNone,
    Quit,
    // Edit.
    MenuEdit,
    Undo,
    UndoStep,
    Redo,
    RedoStep,
    // Storyboard.
    MenuStoryboard,
    PutIn,
    PutAllPhases,
    // View.
    MenuView,
    ShowEditor,
    NextPanel,
    PreviousPanel,
    PreviewEffect,
    Language,
    LanguageSystem,
    LanguageEnglish,
    LanguageSimplified,
    LanguageTraditional,
    LanguageFromEnvironment,
    LanguageNextStart,
    LanguageNotStored,
    // Help.
    MenuHelp,
    About,
    AboutTitle,
    AboutText,
    // Export.
    ExportTitle,
    FilterMatroska,
    FilterMp4,
    Exporting,
    ExportProgress,
    ExportCancelled,
    ExportFailed,
    Exported,
    // Items panel.
    DragGroupsAs,
    PhaseIn,
    PhaseStay,
    PhaseOut,
    PhaseInStayOut,
    KindPiece,
    KindGroup,
    KindMovie,
    KindScroll,
    ItemsList,
    // Live output.
    Stop,
    StopTip,
    LoadedBanner,
    // History Panel.
    HistoryStart,
    HistorySteps,
    // Storyboard Navigator.
    NavKind,
    NavPiece,
    NavTrack,
    NavEntry,
    NavOutlet,
    NavLength,
    NavScroll,
    NavMovie,
    NavIn,
    NavStay,
    NavOut,
    NavPieceKind,
    NavMaterial,
    NavNotInScene,
    NavTrackName,
    // The offer of unsaved work at a start after a session ended without saving. Undo is
    // 復原 in the editor's Traditional table, so recovering is 救回 there.
    RecoveryTitle,
    RecoveryFound,
    RecoveryUntitled,
    RecoveryRecover,
    RecoveryOpenSaved,
    RecoveryDiscard,
    RecoveryPartHistory,
    RecoveryFailed,

    Count
};

struct StudioTextEntry {
    Str id;
    StudioText text;
};

const StudioText& TextOf(Str id);
// The text in the studio's language.
QString Tr(Str id);
// Every text, in the order of Str (for the tests of the tables).
std::span<const StudioTextEntry> AllStudioTexts();

} // namespace kel::studio
