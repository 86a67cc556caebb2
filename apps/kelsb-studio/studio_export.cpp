// File > Export Video: the current storyboard, as it plays on the live output, into a video file,
// with a progress bar, an estimate of the time left and Cancel.
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

namespace {

constexpr const char* kMatroska = "Lossless FFV1 in Matroska (*.mkv)";
constexpr const char* kMp4 = "H.264 in MP4 (*.mp4)";

} // namespace

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
        QStringList filters{kMatroska};
        if (kel::video::IsFormatAvailable(kel::video::VideoFormat::H264Mp4)) {
            filters << kMp4;
        }
        QString filter;
        path = QFileDialog::getSaveFileName(this, "Export Video", QString(), filters.join(";;"),
                                            &filter);
        if (path.isEmpty()) {
            return false;
        }
        const QString extension = filter == kMp4 ? ".mp4" : ".mkv";
        if (!path.endsWith(".mkv", Qt::CaseInsensitive) &&
            !path.endsWith(".mp4", Qt::CaseInsensitive)) {
            path += extension;
        }
    }

    const DWORD last = body->GetDuration();
    QProgressDialog progress("Exporting the storyboard...", "Cancel", 0, static_cast<int>(last) + 1,
                             this);
    progress.setWindowTitle("Export Video");
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    QElapsedTimer clock;
    clock.start();
    const kel::video::ExportResult result = kel::video::ExportStoryboard(
        *scene, path.toStdString(), 0, last, [&](DWORD written, DWORD total) {
            const double seconds = clock.elapsed() / 1000.0;
            const double left = seconds / written * (total - written);
            progress.setLabelText(QString("Frame %1 of %2, about %3 s left")
                                      .arg(written)
                                      .arg(total)
                                      .arg(static_cast<int>(left + 0.5)));
            progress.setValue(static_cast<int>(written)); // runs the dialog's events
            return !progress.wasCanceled();
        });
    progress.reset();
    if (result.cancelled) {
        statusBar()->showMessage("Export cancelled: no file was written", 5000);
        return false;
    }
    if (!result.done) {
        Warn("The video could not be exported: " + result.error);
        return false;
    }
    statusBar()->showMessage(QString("Exported %1 frames to %2").arg(result.frames).arg(path),
                             5000);
    return true;
}

} // namespace kel::studio
