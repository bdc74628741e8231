#include <QTimer>
#include <cstdio>
#include <exception>
#include <thread>

#include "app/commandline.h"
#include "app/mprisbridge.h"
#include "app/orbaapplication.h"
#include "app/partycontrol.h"
#include "app/tdesktopwindow.h"
#include "desktop/songhandover.h"
#include "platform/startuptrace.h"
#include "platform/version.h"
#include "playback/gstreamer.h"
#include "settings/tsetting.h"
#include "tools/headless.h"

int main(int argc, char** argv) {
    orba::startupMark("main");
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
        // GStreamer reads its plugin registry and loads the plugins a song's
        // open takes while the window is built; the first open waits for it
        // only if it is not done by then (initGStreamer is one call for every
        // thread). Not before Qt has set the process's locale, which no other
        // thread may be reading then.
        std::jthread gstreamerStart([] { orba::preloadPlaybackPlugins(); });
        // The application title; not set as Qt's display name, which the
        // desktop would append to every window caption.
        app.setApplicationName(QString::fromUtf8(orba::kApplicationTitle));
        orba::startupMark("application");

        // One window for every song: a window already open takes this one.
        QGuiApplication::setDesktopFileName(QStringLiteral("org.orbakaraoke.Player"));
        if (!cl.timeEdit && !cl.party && orba::handSongToRunningWindow(cl.musicFile)) return 0;

        try {
            orba::TDesktopWindow window;
            window.setCommandLineFile(cl.musicFile);
            orba::startupMark("window");
            // The settings dialog is made when first opened, with the values
            // it would have read here.
            window.setSettingDialogMaker([&window, atStart = window.player().dialogValues()] {
                return std::make_unique<orba::TSetting>(window.player().dialogValues(), atStart,
                                                        &window);
            });
            orba::startupMark("settings-dialog");
            orba::MprisBridge desktopControls(window);  // media keys, sound menu, handed songs
            window.setStartInTimeEditMode(cl.timeEdit);
            window.show();
            orba::startupMark("shown");
            if (cl.party) {
                std::string error;
                if (!window.startParty(&error)) {
                    std::fprintf(stderr, "orbakaraoke: party mode: %s\n", error.c_str());
                    return 2;
                }
                std::printf("%s\n%s\n", window.party().guestAddress().c_str(),
                            window.party().pin().c_str());
                std::fflush(stdout);
            }
            // Lets scripted runs (the smoke test) end the player as a user
            // would, through the window's close.
            if (int ms = qEnvironmentVariableIntValue("ORBAKARAOKE_QUIT_AFTER_MS"); ms > 0)
                QTimer::singleShot(ms, &window, &QWidget::close);
            return app.exec();
        } catch (const std::exception& e) {
            // The window could not go on: the user sees why, and whoever
            // started the player learns that it failed.
            orba::showExceptionMessage(orba::exceptionMessage(e));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orbakaraoke: %s\n", orba::exceptionMessage(e));
    }
    return 1;
}
