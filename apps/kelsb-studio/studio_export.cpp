// File > Export Video: the current storyboard, as it plays on the live output, into a video file,
// with a progress bar, an estimate of the time left and Cancel.
#include "studio_texts.h"
#include "studio_window.h"
#include "video_export.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStatusBar>

namespace kel::studio {

bool StudioWindow::ExportVideo(const QString& chosenPath) {
    std::string why;
    if (!kel::video::IsExportAvailable(&why)) {
        Warn(why);
        return false;
    }
    CKelPlaySceneObj* scene = m_host.Scene();
    CKelSBBodyObj* body =
        scene && scene->GetSBEditObj() ? scene->GetSBEditObj()->GetCurSBBodyObj() : nullptr;
    if (body == nullptr) {
        return false;
    }
    QString path = chosenPath;
    if (path.isEmpty()) {
        const QString matroska = Tr(Str::FilterMatroska);
        const QString mp4 = Tr(Str::FilterMp4);
        QStringList filters{matroska};
        if (kel::video::IsFormatAvailable(kel::video::VideoFormat::H264Mp4)) {
            filters << mp4;
        }
        QString filter;
        path = QFileDialog::getSaveFileName(this, Tr(Str::ExportTitle), QString(),
                                            filters.join(";;"), &filter);
        if (path.isEmpty()) {
            return false;
        }
        const QString extension = filter == mp4 ? ".mp4" : ".mkv";
        if (!path.endsWith(".mkv", Qt::CaseInsensitive) &&
            !path.endsWith(".mp4", Qt::CaseInsensitive)) {
            path += extension;
        }
    }

    const DWORD last = body->GetDuration();
    QProgressDialog progress(Tr(Str::Exporting), Tr(Str::ButtonCancel), 0,
                             static_cast<int>(last) + 1, this);
    progress.setWindowTitle(Tr(Str::ExportTitle));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    QElapsedTimer clock;
    clock.start();
    const kel::video::ExportResult result = kel::video::ExportStoryboard(
        *scene, path.toStdString(), 0, last, [&](DWORD written, DWORD total) {
            const double seconds = clock.elapsed() / 1000.0;
            const double left = seconds / written * (total - written);
            progress.setLabelText(
                Tr(Str::ExportProgress).arg(written).arg(total).arg(static_cast<int>(left + 0.5)));
            progress.setValue(static_cast<int>(written)); // runs the dialog's events
            return !progress.wasCanceled();
        });
    progress.reset();
    if (result.cancelled) {
        statusBar()->showMessage(Tr(Str::ExportCancelled), 5000);
        return false;
    }
    if (!result.done) {
        Warn(Tr(Str::ExportFailed).arg(QString::fromStdString(result.error)).toStdString());
        return false;
    }
    statusBar()->showMessage(Tr(Str::Exported).arg(result.frames).arg(path), 5000);
    return true;
}

} // namespace kel::studio
