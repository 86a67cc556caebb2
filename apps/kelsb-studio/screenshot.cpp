#include "screenshot.h"

#include "qt/qt_backend.h"
#include "studio_host.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace kel::studio {

bool WriteScreenshot(const std::string& pngPath, const std::string& scenePath, std::string* error) {
    kel::qt::QtBackend* backend = kel::qt::Installed();
    if (!backend) {
        *error = "the Qt backend is not installed";
        return false;
    }
    StudioHost host;
    if (scenePath.empty()) {
        host.UseSample();
    } else if (!host.OpenScene(scenePath, error)) {
        return false;
    }
    if (!host.Start(error)) {
        return false;
    }
    host.PlaceDialog(CRect(CPoint(40, 40), CSize(kScreenshotWidth, kScreenshotHeight)));
    // Let the windows settle (layout, posted messages) before the picture is taken.
    QApplication::processEvents();
    kel::platform::DispatchPostedMessages();
    QWidget* widget = backend->WidgetFor(host.Dialog());
    if (!widget) {
        *error = "the editor has no window to render";
        return false;
    }
    const QImage image = widget->grab().toImage();
    if (image.isNull() || !image.save(QString::fromStdString(pngPath), "PNG")) {
        *error = "cannot write " + pngPath;
        return false;
    }
    return true;
}

} // namespace kel::studio
