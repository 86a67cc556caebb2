// What a start offers of a session that ended without saving (studio_window.h), in the
// studio's three languages, and the timer that gives automatic saving its turns.
#include "studio_window.h"

#include "host/services/module_rc.h"
#include "host/services/recovery_file.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace kel::studio {

namespace {

// The texts in English, Simplified Chinese and Traditional Chinese, as the editor's own tables
// carry them. In Traditional Chinese the editor's Undo is 復原, so recovering is 救回.
struct RecoveryText {
    const char* english;
    const char* simplified;
    const char* traditional;
};

constexpr RecoveryText kTitle = {"Recover Unsaved Work", "恢复未保存的工作", "救回未儲存的工作"};
constexpr RecoveryText kFound = {
    "The studio ended without saving \"%1\". Its automatic save of %2 holds the changes made "
    "since the scene was last saved.",
    "工作室上次结束时没有保存“%1”。%2 的自动保存中有该场景上次保存后所做的更改。",
    "工作室上次結束時沒有儲存「%1」。%2 的自動儲存中有該場景上次儲存後所做的變更。"};
constexpr RecoveryText kUntitled = {"a scene that was never saved", "从未保存过的场景",
                                    "從未儲存過的場景"};
constexpr RecoveryText kRecover = {"&Recover", "恢复(&R)", "救回(&R)"};
constexpr RecoveryText kOpenSaved = {"&Open the Saved Version", "打开已保存的版本(&O)",
                                     "開啟已儲存的版本(&O)"};
constexpr RecoveryText kDiscard = {"&Discard", "丢弃(&D)", "捨棄(&D)"};
constexpr RecoveryText kPartHistory = {
    "The scene was recovered. %1 of the %2 undo steps it had came back; Undo stops where the "
    "others are missing.",
    "场景已恢复。原有的 %2 个撤销步骤中恢复了 %1 个；撤销会在缺失的步骤处停止。",
    "場景已救回。原有的 %2 個復原步驟中救回了 %1 個；復原會在缺少的步驟處停止。"};
constexpr RecoveryText kFailed = {"The unsaved work cannot be recovered: %1",
                                  "无法恢复未保存的工作：%1", "無法救回未儲存的工作：%1"};

QString Text(const RecoveryText& text) {
    switch (CKelModuleRC::GetLanguage()) {
    case 2052:
        return QString::fromUtf8(text.simplified);
    case 1028:
        return QString::fromUtf8(text.traditional);
    default:
        return QString::fromUtf8(text.english);
    }
}

constexpr int kAutoSaveTurnMs = 250;

} // namespace

void StudioWindow::StartAutoSave() {
    m_host.EnableAutoSave(kel::host::KelRecoveryFolder());
    auto* timer = new QTimer(this); // the window owns its timer
    connect(timer, &QTimer::timeout, this, [this] { m_host.PollAutoSave(); });
    timer->start(kAutoSaveTurnMs);
}

void StudioWindow::OfferRecoveries() {
    for (const kel::host::KelRecoveryInfo& found :
         kel::host::KelFindRecoveries(kel::host::KelRecoveryFolder())) {
        if (!found.newerThanScene) {
            continue; // the scene was saved after it: nothing in it is lost
        }
        const bool named = !found.scenePath.empty();
        const QString scene =
            named ? QFileInfo(QString::fromStdString(found.scenePath)).fileName() : Text(kUntitled);
        const QString when =
            QLocale().toString(QDateTime::fromSecsSinceEpoch(found.written), QLocale::ShortFormat);
        QMessageBox box(QMessageBox::Question, Text(kTitle), Text(kFound).arg(scene, when),
                        QMessageBox::NoButton, this);
        box.setObjectName("recoveryOffer");
        QPushButton* recover = box.addButton(Text(kRecover), QMessageBox::AcceptRole);
        QPushButton* saved = nullptr;
        if (named && QFileInfo(QString::fromStdString(found.scenePath)).isFile()) {
            saved = box.addButton(Text(kOpenSaved), QMessageBox::RejectRole);
        }
        QPushButton* discard = box.addButton(Text(kDiscard), QMessageBox::DestructiveRole);
        box.setDefaultButton(recover);
        box.exec();
        QAbstractButton* chosen = box.clickedButton();
        if (chosen == discard) {
            kel::host::KelDiscardRecovery(found.path);
            continue;
        }
        if (chosen == recover) {
            std::string error;
            int kept = 0;
            int steps = 0;
            if (!m_host.RecoverScene(found.path, found.scenePath, &error, &kept, &steps)) {
                QMessageBox::warning(this, Text(kTitle),
                                     Text(kFailed).arg(QString::fromStdString(error)));
                continue;
            }
            if (kept < steps) {
                QMessageBox::information(this, Text(kTitle),
                                         Text(kPartHistory).arg(kept).arg(steps));
            }
            FillItems();
            UpdateTitle();
            return; // one scene is open at a time: the others wait for the next start
        }
        if (saved != nullptr && chosen == saved) {
            // The recovery stays until this scene is changed and saved, or discarded later.
            OpenScene(QString::fromStdString(found.scenePath));
            return;
        }
        // Closed without a choice: asked again at the next start.
    }
}

} // namespace kel::studio
