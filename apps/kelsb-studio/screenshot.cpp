#include "screenshot.h"

#include "qt/qt_backend.h"
#include "studio_window.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace kel::studio {

namespace {

// A window as the window manager would frame it: a title bar above its client area.
void DrawWindow(QPainter& painter, QWidget& widget, const QString& title, int captionHeight) {
    const QRect client(widget.mapToGlobal(QPoint()), widget.size());
    const QRect caption(client.left(), client.top() - captionHeight, client.width(), captionHeight);
    painter.fillRect(caption, QColor(60, 72, 88));
    painter.setPen(QColor(236, 240, 244));
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(caption.adjusted(10, 0, -10, 0), Qt::AlignVCenter | Qt::AlignLeft, title);
    painter.drawPixmap(client.topLeft(), widget.grab());
    painter.setPen(QColor(40, 48, 58));
    painter.drawRect(caption.united(client).adjusted(0, 0, -1, -1));
}

} // namespace

bool WriteScreenshot(const std::string& pngPath, const std::string& scenePath, std::string* error) {
    kel::qt::QtBackend* backend = kel::qt::Installed();
    if (!backend) {
        *error = "the Qt backend is not installed";
        return false;
    }
    StudioWindow window{QString()}; // the user's settings stay out of the picture
    StartOptions options;
    options.scene = scenePath;
    options.desktop = kScreenshotDesktop;
    options.interactive = false;
    if (!window.Start(options, error)) {
        return false;
    }
    // Let the windows settle (layout, posted messages) before the picture is taken.
    for (int round = 0; round < 3; ++round) {
        QApplication::processEvents();
        kel::platform::DispatchPostedMessages();
    }
    CWnd* dialog = window.Host().Dialog();
    QWidget* editor = backend->WidgetFor(dialog);
    if (!editor) {
        *error = "the editor has no window to render";
        return false;
    }
    const CRect insets = dialog->GetNonClientInsets();
    QImage picture(kScreenshotDesktop.size(), QImage::Format_RGB32);
    picture.fill(QColor(214, 219, 225));
    {
        QPainter painter(&picture);
        painter.translate(-kScreenshotDesktop.topLeft());
        DrawWindow(painter, window, window.windowTitle(), insets.top);
        DrawWindow(painter, *editor, QString::fromUtf8(dialog->GetWindowText().str()), insets.top);
    }
    if (!picture.save(QString::fromStdString(pngPath), "PNG")) {
        *error = "cannot write " + pngPath;
        return false;
    }
    return true;
}

} // namespace kel::studio
