// What a start offers of a session that ended without saving (studio_window.h), in the
// studio's three languages, and the timer that gives automatic saving its turns.
#include "studio_texts.h"
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

constexpr int kAutoSaveTurnMs = 250;

// The offer speaks the language the editor is loaded in, which is the studio's own but for a
// host that loads the editor in another one.
QString RecoveryText(Str id) {
    return In(CKelModuleRC::GetLanguage(), TextOf(id));
}

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
        const QString scene = named ? QFileInfo(QString::fromStdString(found.scenePath)).fileName()
                                    : RecoveryText(Str::RecoveryUntitled);
        const QString when =
            QLocale().toString(QDateTime::fromSecsSinceEpoch(found.written), QLocale::ShortFormat);
        QMessageBox box(QMessageBox::Question, RecoveryText(Str::RecoveryTitle),
                        RecoveryText(Str::RecoveryFound).arg(scene, when), QMessageBox::NoButton,
                        this);
        box.setObjectName("recoveryOffer");
        QPushButton* recover =
            box.addButton(RecoveryText(Str::RecoveryRecover), QMessageBox::AcceptRole);
        QPushButton* saved = nullptr;
        if (named && QFileInfo(QString::fromStdString(found.scenePath)).isFile()) {
            saved = box.addButton(RecoveryText(Str::RecoveryOpenSaved), QMessageBox::RejectRole);
        }
        QPushButton* discard =
            box.addButton(RecoveryText(Str::RecoveryDiscard), QMessageBox::DestructiveRole);
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
                Tell(QMessageBox::Warning, RecoveryText(Str::RecoveryTitle),
                     RecoveryText(Str::RecoveryFailed).arg(QString::fromStdString(error)));
                continue;
            }
            if (kept < steps) {
                Tell(QMessageBox::Information, RecoveryText(Str::RecoveryTitle),
                     RecoveryText(Str::RecoveryPartHistory).arg(kept).arg(steps));
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
