// What the studio's workspace keeps and offers: the settings owned by one studio at a time, the
// drag choice kept across starts, the history of a scene just opened, Ctrl+Y, the scene files'
// filter, and its texts in the editor's three languages.
#include "host_panels.h"
#include "items_panel.h"
#include "studio_texts.h"
#include "workspace_fixture.h"

#include "host/services/drag_data.h"
#include "res/module_resources.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSet>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

namespace {

using kel::studio::Str;
using kel::studio::StudioSettings;
using kel::test::ScopedEnv;

class WorkspaceChoicesTest : public kel::test::WorkspaceFixture {
protected:
    QAction* MenuAction(const QString& text) {
        for (QAction* menu : window->menuBar()->actions())
            if (menu->menu())
                for (QAction* action : menu->menu()->actions())
                    if (action->text() == text)
                        return action;
        return nullptr;
    }
};

TEST(StudioSettingsLockTest, ASecondStudioOnTheFolderReadsTheSettingsButNeverWritesThem) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/studio.ini";
    auto first = std::make_unique<StudioSettings>(path);
    EXPECT_FALSE(first->IsShared());
    first->StoreLayout("first", "docks", QRect(1, 2, 300, 200));
    first->StoreLanguage(kel::studio::StudioLanguage::SimplifiedChinese);
    first->Sync();
    {
        StudioSettings second(path);
        EXPECT_TRUE(second.IsShared());
        EXPECT_EQ(second.Geometry(), "first"); // read as the first left them
        second.StoreLayout("second", "docks2", QRect(5, 5, 400, 300));
        second.StoreLastScene("/elsewhere.kel");
        second.StoreLanguage(kel::studio::StudioLanguage::FromLocale);
        second.StoreDragPhases(KelPieceDragData::kOut);
        second.Sync();
    }
    const StudioSettings reader(path);
    EXPECT_EQ(reader.Geometry(), "first");
    EXPECT_TRUE(reader.LastScene().isEmpty());
    EXPECT_EQ(reader.Language(), kel::studio::StudioLanguage::SimplifiedChinese);
    EXPECT_FALSE(reader.DragPhases().has_value());

    // The lock goes with its holder; nothing stale is left behind for the next studio.
    first.reset();
    StudioSettings next(path);
    EXPECT_FALSE(next.IsShared());
    next.StoreLastScene("/next.kel");
    next.Sync();
    EXPECT_EQ(StudioSettings(path).LastScene(), "/next.kel");
}

TEST_F(WorkspaceChoicesTest, ASecondStudioSaysItSharesTheSettingsAndLeavesTheFirstsLayout) {
    Start();
    EXPECT_EQ(window->findChild<QLabel*>("settingsShared"), nullptr);
    window->setGeometry(QRect(100, 60, 900, 380));
    window->SaveWorkspace();

    kel::studio::StudioWindow second(kel::studio::StudioSettingsPath());
    const QLabel* notice = second.findChild<QLabel*>("settingsShared");
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->text(), kel::studio::Tr(Str::SettingsShared));
    second.setGeometry(QRect(300, 300, 700, 300));
    second.SaveWorkspace();
    Restart();
    EXPECT_EQ(window->geometry(), QRect(100, 60, 900, 380));
}

TEST_F(WorkspaceChoicesTest, TheDragChoiceForGroupsComesBackOnTheNextStart) {
    Start();
    QComboBox* phases = window->ItemsList()->PhaseChooser();
    EXPECT_EQ(phases->currentData().toUInt(), KelPieceDragData::kInStayOut); // the default
    phases->setCurrentIndex(phases->findData(KelPieceDragData::kStay));
    Restart();
    phases = window->ItemsList()->PhaseChooser();
    EXPECT_EQ(phases->currentData().toUInt(), KelPieceDragData::kStay);

    // A value no choice has keeps the default.
    window->SaveWorkspace();
    QSettings(kel::studio::StudioSettingsPath(), QSettings::IniFormat)
        .setValue("items/dragPhases", 77);
    window.reset();
    Start();
    EXPECT_EQ(window->ItemsList()->PhaseChooser()->currentData().toUInt(),
              KelPieceDragData::kInStayOut);
}

TEST_F(WorkspaceChoicesTest, TheHistoryPanelShowsAnOpenedScenesHistoryAtOnce) {
    QTemporaryDir scenes;
    Start();
    kel::studio::HistoryPanel* panel = window->Host().History();
    ASSERT_EQ(panel->Rows().size(), 1u); // the start, before the editor was ever activated
    AppendTrack();
    ASSERT_TRUE(window->SaveTo(scenes.path() + "/one.kel"));
    ASSERT_EQ(panel->Rows().size(), 2u);

    ASSERT_TRUE(window->OpenScene(scenes.path() + "/one.kel"));
    const auto rows = panel->Rows();
    ASSERT_EQ(rows.size(), 1u); // the new scene's own, empty history: no click needed
    EXPECT_TRUE(rows[0].current);
    EXPECT_EQ(panel->List()->count(), 1);
    AppendTrack();
    EXPECT_EQ(panel->Rows().size(), 2u);
}

TEST_F(WorkspaceChoicesTest, CtrlYRedoesAsCtrlShiftZDoes) {
    Start();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    AppendTrack();
    for (const QKeyCombination redo : {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z}) {
        QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
        ASSERT_EQ(History()->GetUndoStepCount(), 0);
        QTest::keyClick(window.get(), redo.key(), redo.keyboardModifiers());
        EXPECT_EQ(History()->GetUndoStepCount(), 1) << QKeySequence(redo).toString().toStdString();
    }
}

TEST_F(WorkspaceChoicesTest, OpenAndSaveAsListTheScenesFirstThenEveryFile) {
    QTemporaryDir scenes;
    Start();
    // The studio's own file dialog here (no desktop's), answered as the user would.
    QStringList filters;
    auto answer = [&](const QString& name) {
        QTimer::singleShot(0, [&, name] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                ADD_FAILURE() << "no file dialog";
                return;
            }
            filters = dialog->nameFilters();
            if (name.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->selectFile(name);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    };
    // A name typed without an extension is saved as a scene.
    answer(scenes.path() + "/news");
    ASSERT_TRUE(window->SaveAs());
    EXPECT_EQ(filters, (QStringList{"Scenes (*.kel)", "All files (*)"}));
    EXPECT_EQ(window->Host().Path(), (scenes.path() + "/news.kel").toStdString());
    EXPECT_TRUE(QFileInfo::exists(scenes.path() + "/news.kel"));
    // One with its own is left as typed.
    answer(scenes.path() + "/news.backup");
    ASSERT_TRUE(window->SaveAs());
    EXPECT_EQ(window->Host().Path(), (scenes.path() + "/news.backup").toStdString());

    filters.clear();
    answer(QString());
    QAction* open = MenuAction("&Open...");
    ASSERT_NE(open, nullptr);
    open->trigger();
    EXPECT_EQ(filters, (QStringList{"Scenes (*.kel)", "All files (*)"}));
}

// The marks that make a text work must survive its translation: the mnemonic of a menu entry
// (keyboard users reach the entry by it), the places where numbers and names go.
TEST(StudioTextsTest, EveryTextHasBothChineseLanguagesWithTheSameMarks) {
    const QRegularExpression placeholder("%[1-9]");
    auto marks = [&](const QString& text) {
        QSet<QString> found;
        for (const auto& match : placeholder.globalMatch(text))
            found.insert(match.captured());
        return found;
    };
    auto hasChinese = [](const QString& text) {
        return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x3000; });
    };
    for (const kel::studio::StudioTextEntry& entry : kel::studio::AllStudioTexts()) {
        const QString en = QString::fromUtf8(entry.text.en);
        SCOPED_TRACE(en.toStdString());
        for (const char* translated : {entry.text.zhCN, entry.text.zhTW}) {
            const QString zh = QString::fromUtf8(translated);
            EXPECT_TRUE(hasChinese(zh)) << zh.toStdString();
            EXPECT_EQ(zh.count('&'), en.count('&')) << zh.toStdString();
            EXPECT_EQ(marks(zh), marks(en)) << zh.toStdString();
            EXPECT_EQ(zh.contains("(*."), en.contains("(*.")) << zh.toStdString();
        }
    }
}

TEST(StudioTextsTest, ThePanelsTheEditorKnowsByTitleCarryTheEditorsOwnTitles) {
    const ModuleResources& editor = kel::res::KelSBEditResources();
    for (const LANGID language :
         {LANG_ENGLISH_US, LANG_CHINESE_SIMPLIFIED, LANG_CHINESE_TRADITIONAL}) {
        const LanguageResources& table =
            language == LANG_ENGLISH_US ? editor : editor.translations.at(language);
        EXPECT_EQ(kel::studio::In(language, kel::studio::TextOf(Str::HistoryPanel)).toStdString(),
                  table.strings.at(IDS_HISTORY_PANEL_TITLE).str());
        EXPECT_EQ(kel::studio::In(language, kel::studio::TextOf(Str::Navigator)).toStdString(),
                  table.strings.at(IDS_SB_NAVIGATOR_TITLE).str());
    }
}

TEST_F(WorkspaceChoicesTest, TheStudioSpeaksTheLanguageTheEditorIsGiven) {
    ScopedEnv chinese("KELSB_LANG", "1028");
    Start();
    QStringList menus;
    for (QAction* menu : window->menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus.join(" ").toStdString(), "檔案(&F) 編輯(&E) 腳本(&S) 檢視(&V) 說明(&H)");
    EXPECT_EQ(window->ItemsDock()->windowTitle().toStdString(), "項目");
    EXPECT_EQ(window->LiveDock()->windowTitle().toStdString(), "輸出畫面");
    EXPECT_EQ(window->Host().History()->GetWindowText().str(), std::string("步驟記錄面板"));
    EXPECT_EQ(window->ItemsList()->PhaseChooser()->currentText().toStdString(), "進場、停留與出場");
    EXPECT_EQ(window->windowTitle().toStdString(), "範例 - KelSB Studio");
    EXPECT_EQ(window->Host().History()->Rows().front().text.toStdString(), "初始狀態");
    AppendTrack();
    EXPECT_TRUE(window->UndoAction()->text().startsWith(QString::fromUtf8("復原「")));

    // A message box's button too, though Qt's own text for it would be English.
    QString ok;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ok = box->button(QMessageBox::Ok)->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    QAction* about = window->menuBar()->actions().back()->menu()->actions().front();
    about->trigger();
    EXPECT_EQ(ok.toStdString(), "確定");

    // The question before a changed scene goes, buttons included.
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            for (QAbstractButton* button : box->buttons())
                buttons << button->text();
            box->button(QMessageBox::Cancel)->click();
        }
    });
    EXPECT_FALSE(window->close());
    buttons.sort();
    EXPECT_EQ(buttons.join(" ").toStdString(), "不儲存(&D) 儲存(&S) 取消");
}

} // namespace
