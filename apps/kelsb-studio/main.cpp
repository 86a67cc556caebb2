// kelsb-studio: the interactive host of the storyboard editor.
//
//   kelsb-studio [SCENE]                     opens the workspace and the editor on SCENE
//                                            (default: the last scene, else the sample)
//   kelsb-studio --screenshot FILE [SCENE]   writes a picture of them as a PNG, without a
//                                            display
#include "qt/qt_backend.h"
#include "screenshot.h"
#include "studio_settings.h"
#include "studio_window.h"

#include <QApplication>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

// The offscreen platform reports every window feature it lacks; none of them matter for a
// picture, and a script that runs the studio should see only real trouble.
void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg && (message.startsWith("This plugin does not support") ||
                               message.startsWith("QStandardPaths: XDG_RUNTIME_DIR"))) {
        return;
    }
    std::cerr << qPrintable(qFormatLogMessage(type, context, message)) << "\n";
}

int Usage() {
    std::cerr << "usage: kelsb-studio [SCENE]\n"
                 "       kelsb-studio --screenshot FILE [SCENE]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool screenshot = !args.empty() && args[0] == "--screenshot";
    if (screenshot ? (args.size() < 2 || args.size() > 3) : args.size() > 1) {
        return Usage();
    }
    if (!screenshot && !args.empty() && args[0].rfind("-", 0) == 0) {
        return Usage();
    }
    if (screenshot) {
        // Rendered the same with or without a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QuietOffscreen);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("KelSB Studio");
    kel::platform::SetBackend(std::make_unique<kel::qt::QtBackend>());

    int result = 0;
    if (screenshot) {
        std::string error;
        if (!kel::studio::WriteScreenshot(args[1], args.size() == 3 ? args[2] : "", &error)) {
            std::cerr << "kelsb-studio: " << error << "\n";
            result = 1;
        }
    } else {
        const QString settingsPath = kel::studio::StudioSettingsPath();
        // The editor reads its language when it is loaded.
        kel::studio::ApplyStoredLanguage(kel::studio::StudioSettings(settingsPath));
        kel::studio::StudioWindow window(settingsPath);
        kel::studio::StartOptions options;
        options.scene = args.empty() ? "" : args[0];
        std::string error;
        result = window.Start(options, &error) ? QApplication::exec() : 1;
    }
    // Windows of the framework go before the backend that shows them.
    kel::platform::SetBackend(nullptr);
    return result;
}
