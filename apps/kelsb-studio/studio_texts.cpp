// The terms follow the editor's tables: Simplified 故事板 (storyboard), 素材 (material), 图文
// (piece), 组 (group), 特技 (FX), 入场/停留/出场; Traditional 腳本, 素材, 圖文, 群組, 特效,
// 進場/停留/出場, 格 (frame). The panel titles the editor compares window titles with (History
// Panel, Storyboard Navigator) are its own strings 34870 and 33432 in each language. Menu
// mnemonics go at the end in Chinese, "(&F)", as desktop programs there write them.
#include "studio_texts.h"

#include "host/services/ui_language.h"

#include <cstdlib>

namespace kel::studio {

namespace {

constexpr StudioTextEntry kTexts[] = {
    {Str::Items, {"Items", "项目", "項目"}},
    {Str::LiveOutput, {"Live Output", "输出画面", "輸出畫面"}},
    {Str::HistoryPanel, {"History Panel", "历史记录面板", "步驟記錄面板"}},
    {Str::Navigator, {"Storyboard Navigator", "故事板导航器", "腳本導覽器"}},
    {Str::ReadyHint,
     {"Drag items onto the storyboard editor", "将项目拖到故事板编辑器上",
      "將項目拖曳到腳本編輯器上"}},
    {Str::EditorCannotStart,
     {"The storyboard editor cannot start: %1", "故事板编辑器无法启动：%1",
      "腳本編輯器無法啟動：%1"}},
    {Str::SampleName, {"Sample", "示例", "範例"}},
    {Str::OpenTitle, {"Open Scene", "打开场景", "開啟場景"}},
    {Str::SaveTitle, {"Save Scene", "保存场景", "儲存場景"}},
    {Str::SceneFilter, {"Scenes (*.kel)", "场景文件 (*.kel)", "場景檔案 (*.kel)"}},
    {Str::AllFilesFilter, {"All files (*)", "所有文件 (*)", "所有檔案 (*)"}},
    {Str::Saved, {"Saved", "已保存", "已儲存"}},
    {Str::AskSave,
     {"The scene has changed. Save the changes?", "场景已更改。要保存更改吗？",
      "場景已變更。要儲存變更嗎？"}},
    {Str::ButtonSave, {"&Save", "保存(&S)", "儲存(&S)"}},
    {Str::ButtonDiscard, {"&Discard", "不保存(&D)", "不儲存(&D)"}},
    {Str::ButtonCancel, {"Cancel", "取消", "取消"}},
    {Str::ButtonOk, {"OK", "确定", "確定"}},
    {Str::SettingsShared,
     {"Another KelSB Studio uses this configuration folder: this one does not store its layout, "
      "scenes or choices",
      "另一个 KelSB Studio 正在使用此配置文件夹：本窗口不会保存布局、场景和选项",
      "另一個 KelSB Studio 正在使用此設定資料夾：本視窗不會儲存版面配置、場景與選項"}},
    {Str::MenuBar, {"Menu bar", "菜单栏", "功能表列"}},
    {Str::StatusBar, {"Status bar", "状态栏", "狀態列"}},

    {Str::MenuFile, {"&File", "文件(&F)", "檔案(&F)"}},
    {Str::Open, {"&Open...", "打开(&O)...", "開啟(&O)..."}},
    {Str::Save, {"&Save", "保存(&S)", "儲存(&S)"}},
    {Str::SaveAs, {"Save &As...", "另存为(&A)...", "另存新檔(&A)..."}},
    {Str::ExportVideo, {"&Export Video...", "导出视频(&E)...", "匯出影片(&E)..."}},
    {Str::RecentScenes, {"&Recent Scenes", "最近的场景(&R)", "最近的場景(&R)"}},
    {Str::RecentNone, {"(none)", "（无）", "（無）"}},
    {Str::Quit, {"&Quit", "退出(&Q)", "結束(&Q)"}},

    {Str::MenuEdit, {"&Edit", "编辑(&E)", "編輯(&E)"}},
    {Str::Undo, {"&Undo", "撤销(&U)", "復原(&U)"}},
    {Str::UndoStep, {"&Undo %1", "撤销“%1”(&U)", "復原「%1」(&U)"}},
    {Str::Redo, {"&Redo", "重做(&R)", "重做(&R)"}},
    {Str::RedoStep, {"&Redo %1", "重做“%1”(&R)", "重做「%1」(&R)"}},

    {Str::MenuStoryboard, {"&Storyboard", "故事板(&S)", "腳本(&S)"}},
    {Str::PutIn,
     {"Put Selected Items (&In)", "将选中项目放到故事板（入场）(&I)",
      "將選取的項目放到腳本（進場）(&I)"}},
    {Str::PutAllPhases,
     {"Put Selected Items (In, &Stay, Out)", "将选中项目放到故事板（入场、停留、出场）(&S)",
      "將選取的項目放到腳本（進場、停留、出場）(&S)"}},

    {Str::MenuView, {"&View", "视图(&V)", "檢視(&V)"}},
    {Str::ShowEditor, {"Storyboard &Editor", "故事板编辑器(&E)", "腳本編輯器(&E)"}},
    {Str::NextPanel, {"&Next Panel", "下一个面板(&N)", "下一個面板(&N)"}},
    {Str::PreviousPanel, {"Pre&vious Panel", "上一个面板(&V)", "上一個面板(&V)"}},
    {Str::PreviewEffect, {"&Preview Effect", "预览特技(&P)", "預覽特效(&P)"}},
    {Str::Language, {"&Language", "语言(&L)", "語言(&L)"}},
    {Str::LanguageSystem, {"As the &System", "跟随系统(&S)", "依照系統(&S)"}},
    {Str::LanguageEnglish, {"&English", "英语 (English)(&E)", "英文 (English)(&E)"}},
    {Str::LanguageSimplified,
     {"Simplified &Chinese (简体中文)", "简体中文(&C)", "簡體中文 (简体中文)(&C)"}},
    {Str::LanguageTraditional,
     {"&Traditional Chinese (繁體中文)", "繁体中文 (繁體中文)(&T)", "繁體中文(&T)"}},
    {Str::LanguageFromEnvironment,
     {"KELSB_LANG is set in the environment: it chooses the language until it is unset",
      "环境变量 KELSB_LANG 已设置：在取消该设置之前，语言由它决定",
      "環境變數 KELSB_LANG 已設定：在取消該設定之前，語言由它決定"}},
    {Str::LanguageNextStart,
     {"The studio and the editor speak the chosen language from the next start",
      "KelSB Studio 和编辑器将在下次启动时使用所选语言",
      "KelSB Studio 與編輯器將在下次啟動時使用所選語言"}},
    {Str::LanguageNotStored,
     {"Another KelSB Studio uses these settings: the choice is not stored",
      "另一个 KelSB Studio 正在使用这些设置：所选语言未保存",
      "另一個 KelSB Studio 正在使用這些設定：所選語言未儲存"}},

    {Str::MenuHelp, {"&Help", "帮助(&H)", "說明(&H)"}},
    {Str::About, {"&About KelSB Studio", "关于 KelSB Studio(&A)", "關於 KelSB Studio(&A)"}},
    {Str::AboutTitle, {"About KelSB Studio", "关于 KelSB Studio", "關於 KelSB Studio"}},
    {Str::AboutText,
     {"<p><b>KelSB Studio</b></p><p>The reference host of KelSBEdit, the storyboard editor of a "
      "broadcast subtitle and graphics playout system. Drag pieces from the Items panel onto the "
      "editor's timeline; the History Panel and Edit menu undo and redo every change; plays and "
      "effect previews show on the Live Output.</p><p>Settings: %1</p>",
      "<p><b>KelSB Studio</b></p><p>KelSBEdit 的参考宿主程序。KelSBEdit "
      "是广播字幕与图文播出系统的故事板编辑器。将图文从“项目”面板拖到编辑器的时间线上；"
      "用“历史记录面板”和“编辑”菜单撤销或重做每一步更改；播放和特技预览显示在“输出画面”中。</"
      "p><p>设置文件：%1</p>",
      "<p><b>KelSB Studio</b></p><p>KelSBEdit 的參考主程式。KelSBEdit "
      "是廣播字幕與圖文播出系統的腳本編輯器。將圖文從「項目」面板拖曳到編輯器的時間線上；"
      "使用「步驟記錄面板」和「編輯」功能表復原或重做每一項變更；播放與特效預覽會顯示在「輸出畫面」"
      "中。</p><p>設定檔：%1</p>"}},

    {Str::ExportTitle, {"Export Video", "导出视频", "匯出影片"}},
    {Str::FilterMatroska,
     {"Lossless FFV1 in Matroska (*.mkv)", "无损 FFV1，Matroska 格式 (*.mkv)",
      "無損 FFV1，Matroska 格式 (*.mkv)"}},
    {Str::FilterMp4,
     {"H.264 in MP4 (*.mp4)", "H.264，MP4 格式 (*.mp4)", "H.264，MP4 格式 (*.mp4)"}},
    {Str::Exporting, {"Exporting the storyboard...", "正在导出故事板...", "正在匯出腳本..."}},
    {Str::ExportProgress,
     {"Frame %1 of %2, about %3 s left", "第 %1 帧，共 %2 帧，约剩 %3 秒",
      "第 %1 格，共 %2 格，約剩 %3 秒"}},
    {Str::ExportCancelled,
     {"Export cancelled: no file was written", "导出已取消：未写入任何文件",
      "匯出已取消：未寫入任何檔案"}},
    {Str::ExportFailed,
     {"The video could not be exported: %1", "无法导出视频：%1", "無法匯出影片：%1"}},
    {Str::Exported, {"Exported %1 frames to %2", "已将 %1 帧导出到 %2", "已將 %1 格匯出至 %2"}},

    {Str::DragGroupsAs, {"Drag groups as", "拖放组时放入", "拖曳群組時放入"}},
    {Str::PhaseIn, {"In", "入场", "進場"}},
    {Str::PhaseStay, {"Stay", "停留", "停留"}},
    {Str::PhaseOut, {"Out", "出场", "出場"}},
    {Str::PhaseInStayOut, {"In, Stay and Out", "入场、停留和出场", "進場、停留與出場"}},
    {Str::KindPiece, {"piece", "图文", "圖文"}},
    {Str::KindGroup, {"group", "组", "群組"}},
    {Str::KindMovie, {"movie", "动画", "動畫"}},
    {Str::KindScroll, {"scroll", "滚屏", "滾動字幕"}},
    {Str::ItemsList, {"Scene items", "场景项目", "場景項目"}},

    {Str::Stop, {"Stop", "停止", "停止"}},
    {Str::StopTip,
     {"Stops the play at the frame on the air (Esc, Space)",
      "在正在播出的帧处停止播放（Esc、空格键）", "在正在播出的畫格停止播放（Esc、空白鍵）"}},
    {Str::LoadedBanner,
     {"Loaded on the output: editing is locked", "已加载到输出：编辑已锁定",
      "已載入到輸出：編輯已鎖定"}},

    {Str::HistoryStart, {"Start", "初始状态", "初始狀態"}},
    {Str::HistorySteps, {"Steps", "操作步骤", "操作步驟"}},

    {Str::NavKind, {"Kind:", "类型：", "類型："}},
    {Str::NavPiece, {"Piece:", "图文：", "圖文："}},
    {Str::NavTrack, {"Track:", "轨道：", "軌道："}},
    {Str::NavEntry, {"Entry point:", "入点：", "入點："}},
    {Str::NavOutlet, {"Outlet point:", "出点：", "出點："}},
    {Str::NavLength, {"Length:", "长度：", "長度："}},
    {Str::NavScroll, {"Scroll", "滚屏", "滾動字幕"}},
    {Str::NavMovie, {"Movie", "动画", "動畫"}},
    {Str::NavIn, {"In", "入场", "進場"}},
    {Str::NavStay, {"Stay", "停留", "停留"}},
    {Str::NavOut, {"Out", "出场", "出場"}},
    {Str::NavPieceKind, {"Piece", "图文", "圖文"}},
    {Str::NavMaterial, {"Material", "素材", "素材"}},
    {Str::NavNotInScene, {"(not in the scene)", "（不在场景中）", "（不在場景中）"}},
    {Str::NavTrackName, {"Track%1", "轨道%1", "軌道%1"}},
    {Str::RecoveryTitle, {"Recover Unsaved Work", "恢复未保存的工作", "救回未儲存的工作"}},
    {Str::RecoveryFound,
     {"The studio ended without saving \"%1\". Its automatic save of %2 holds the changes made "
      "since the scene was last saved.",
      "工作室上次结束时没有保存“%1”。%2 的自动保存中有该场景上次保存后所做的更改。",
      "工作室上次結束時沒有儲存「%1」。%2 的自動儲存中有該場景上次儲存後所做的變更。"}},
    {Str::RecoveryUntitled,
     {"a scene that was never saved", "从未保存过的场景", "從未儲存過的場景"}},
    {Str::RecoveryRecover, {"&Recover", "恢复(&R)", "救回(&R)"}},
    {Str::RecoveryOpenSaved,
     {"&Open the Saved Version", "打开已保存的版本(&O)", "開啟已儲存的版本(&O)"}},
    {Str::RecoveryDiscard, {"&Discard", "丢弃(&D)", "捨棄(&D)"}},
    {Str::RecoveryPartHistory,
     {"The scene was recovered. %1 of the %2 undo steps it had came back; Undo stops where the "
      "others are missing.",
      "场景已恢复。原有的 %2 个撤销步骤中恢复了 %1 个；撤销会在缺失的步骤处停止。",
      "場景已救回。原有的 %2 個復原步驟中救回了 %1 個；復原會在缺少的步驟處停止。"}},
    {Str::RecoveryFailed,
     {"The unsaved work cannot be recovered: %1", "无法恢复未保存的工作：%1",
      "無法救回未儲存的工作：%1"}},
};

constexpr bool InOrder() {
    for (int i = 0; i < static_cast<int>(std::size(kTexts)); ++i) {
        if (static_cast<int>(kTexts[i].id) != i) {
            return false;
        }
    }
    return std::size(kTexts) == static_cast<std::size_t>(Str::Count);
}
static_assert(InOrder(), "every text once, in the order of Str");

} // namespace

QString In(LANGID language, const StudioText& text) {
    switch (language) {
    case LANG_CHINESE_SIMPLIFIED:
        return QString::fromUtf8(text.zhCN);
    case LANG_CHINESE_TRADITIONAL:
        return QString::fromUtf8(text.zhTW);
    default:
        return QString::fromUtf8(text.en);
    }
}

LANGID StudioUiLanguage() {
    return kel::host::LanguageFromEnvironment(
        [](const char* name) -> const char* { return std::getenv(name); });
}

const StudioText& TextOf(Str id) {
    return kTexts[static_cast<int>(id)].text;
}

QString Tr(Str id) {
    return In(StudioUiLanguage(), TextOf(id));
}

std::span<const StudioTextEntry> AllStudioTexts() {
    return kTexts;
}

} // namespace kel::studio
