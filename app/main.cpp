#include <QTimer>
#include <cstdio>
#include <exception>

#include "app/commandline.h"
#include "app/orbaapplication.h"
#include "app/tdesktopwindow.h"
#include "platform/version.h"
#include "settings/tsetting.h"
#include "tools/headless.h"

int main(int argc, char** argv) {
    orba::CommandLine cl = orba::parseCommandLine(argc, argv);
    if (cl.help) {
        std::fputs(orba::kUsage, stdout);
        return 0;
    }
    if (cl.version) {
        std::printf("orbakaraoke %s\n", orba::kVersion);
        return 0;
    }
    if (std::optional<int> code = orba::runHeadlessCommand(cl.args)) return *code;
    if (std::optional<std::string> option = orba::unknownOption(cl.args)) {
        std::fprintf(stderr, "orbakaraoke: unknown option %s\n\n%s", option->c_str(), orba::kUsage);
        return 2;
    }

    // The window is drawn pixel for pixel: no scaling by screen resolution.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    try {
        orba::OrbaApplication app(argc, argv);
        // The application title; not set as Qt's display name, which the
        // desktop would append to every window caption.
        app.setApplicationName(QString::fromUtf8(orba::kApplicationTitle));
        try {
            orba::TDesktopWindow window;
            window.setCommandLineFile(cl.musicFile);
            orba::TSetting setting(window.player().dialogValues(), &window);
            window.setSettingDialog(&setting);
            window.show();
            // Lets scripted runs (the smoke test) end the player as a user
            // would, through the window's close.
            if (int ms = qEnvironmentVariableIntValue("ORBAKARAOKE_QUIT_AFTER_MS"); ms > 0)
                QTimer::singleShot(ms, &window, &QWidget::close);
            app.exec();
        } catch (const std::exception& e) {
            orba::showExceptionMessage(e.what());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orbakaraoke: %s\n", e.what());
    }
    return 0;
}
