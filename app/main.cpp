#include <QTimer>
#include <cstdio>
#include <cstring>
#include <exception>

#include "app/commandline.h"
#include "app/orbaapplication.h"
#include "app/tdesktopwindow.h"
#include "lyrics/lyricsinfo.h"
#include "platform/version.h"
#include "playback/probe.h"
#include "settings/tsetting.h"

namespace {

const char* const kUsage =
    "Usage: orbakaraoke [MUSICFILE]\n"
    "\n"
    "Plays a music file (.mid .wav .mp3 .mp2 .wma .ogg) with its lyrics.\n"
    "\n"
    "  --help       show this text\n"
    "  --version    show the version\n"
    "  --lyrics-info FILE [--song-length MS] [--edit-mode] [--at MS]\n"
    "               show how the player reads a lyric file, as JSON\n"
    "  --probe FILE [--play MS]\n"
    "               open a music file as the player would (and play MS\n"
    "               milliseconds of it), and report the result as JSON\n";

// Headless commands print one JSON object and exit without opening a window.
struct HeadlessCommand {
    const char* flag;
    int (*run)(const std::vector<std::string>& args);
};
const HeadlessCommand kHeadlessCommands[] = {
    {"--lyrics-info", orba::runLyricsInfo},
    {"--probe", orba::runProbe},
    {nullptr, nullptr},
};

}  // namespace

int main(int argc, char** argv) {
    orba::CommandLine cl = orba::parseCommandLine(argc, argv);
    if (cl.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (cl.version) {
        std::printf("orbakaraoke %s\n", orba::kVersion);
        return 0;
    }
    for (const HeadlessCommand& c : kHeadlessCommands) {
        if (!c.flag) continue;
        if (!cl.args.empty() && cl.args.front() == c.flag) return c.run(cl.args);
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
            orba::TSetting setting(&window);
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
