#include "app/exportdialog.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QThread>
#include <atomic>
#include <exception>

#include "export/videoexport.h"
#include "platform/files.h"
#include "playback/mediadevice.h"
#include "player/player.h"
#include "tools/simulationframesource.h"

namespace orba {

namespace {

const char* const kTitle = "動画に書き出す";

// The song the window plays: its music file, else the lyric file alone.
std::string loadedSong(const Settings& s) {
    if (s.useBgm && isRegularFile(s.bgmFile)) return s.bgmFile;
    if (s.useMessage && isRegularFile(s.messageFile)) return s.messageFile;
    return {};
}

// The output file, which the user has agreed to replace if it exists; empty
// when cancelled.
QString askOutputFile(QWidget* parent, const std::string& song) {
    const QFileInfo info(QString::fromStdString(song));
    const QString mp4 = QStringLiteral("MP4 動画 (*.mp4)");
    const QString webm = QStringLiteral("WebM 動画 (*.webm)");
    const QString mkv = QStringLiteral("Matroska 動画 (*.mkv)");
    QString filter = mp4;
    QString path = QFileDialog::getSaveFileName(
        parent, QString::fromUtf8(kTitle), info.dir().filePath(info.completeBaseName() + ".mp4"),
        mp4 + ";;" + webm + ";;" + mkv, &filter);
    // The file dialog has asked before choosing an existing file.
    if (path.isEmpty() || encodingPlanFor(path.toStdString())) return path;
    // A name typed without one of the three extensions takes the chosen
    // type's; the dialog did not ask about that name.
    path += filter == webm ? ".webm" : filter == mkv ? ".mkv" : ".mp4";
    if (QFileInfo::exists(path) &&
        QMessageBox::question(parent, QString::fromUtf8(kTitle),
                              path + QStringLiteral(" は既に存在します。\n上書きしますか?")) !=
            QMessageBox::Yes)
        return {};
    return path;
}

// The player stands still while the export draws, and goes on afterwards;
// commands that would change the song meanwhile are refused by the player.
class SongPause {
public:
    explicit SongPause(Player& player) : m_player(player) {
        m_player.run({CommandKind::BeginExport});
    }
    ~SongPause() { m_player.run({CommandKind::EndExport}); }
    SongPause(const SongPause&) = delete;
    SongPause& operator=(const SongPause&) = delete;

private:
    Player& m_player;
};

}  // namespace

void exportVideoDialog(QWidget* parent, Player& player) {
    const std::string song = loadedSong(player.settings());
    if (song.empty()) {
        QMessageBox::information(parent, QString::fromUtf8(kTitle),
                                 QStringLiteral("書き出す曲がありません"));
        return;
    }
    const QString out = askOutputFile(parent, song);
    if (out.isEmpty()) return;

    ExportJob job;
    job.outFile = out.toStdString();
    job.plan = *encodingPlanFor(job.outFile);
    job.overwrite = true;

    SongPause pause(player);
    // The song as the window opened it: the same lyrics, pictures and look.
    SimulationFrameSource source(song);
    job.audio = source.audio();
    job.inputs = source.inputs();
    job.toMs = source.songLength();

    QProgressDialog progress(QString::fromStdString(fileNamePart(job.outFile)),
                             QStringLiteral("キャンセル"), 0, 1000, parent);
    progress.setWindowTitle(QString::fromUtf8(kTitle));
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(0);
    progress.setValue(0);

    std::atomic<bool> cancel{false};
    QObject::connect(&progress, &QProgressDialog::canceled, [&cancel] { cancel = true; });
    ExportResult result;
    QThread* worker = QThread::create([&] {
        std::string shown;
        auto report = [&](const ExportProgress& p) {
            std::string text = progressText(p);
            if (text == shown) return;
            shown = text;
            const int value = static_cast<int>(p.framesDone * 1000 / std::max(p.framesTotal, 1LL));
            const QString label = QString::fromStdString(fileNamePart(job.outFile) + "\n" + text);
            QMetaObject::invokeMethod(
                &progress,
                [&progress, value, label] {
                    progress.setValue(value);
                    progress.setLabelText(label);
                },
                Qt::QueuedConnection);
        };
        try {
            result = exportVideo(job, source, report, cancel);
        } catch (const std::exception& e) {
            result.ok = false;
            result.error = e.what();
        }
    });
    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
    delete worker;
    // Progress reports still queued must not reach the dialog once it is gone.
    QCoreApplication::removePostedEvents(&progress);
    progress.close();

    if (result.ok)
        QMessageBox::information(parent, QString::fromUtf8(kTitle),
                                 QStringLiteral("書き出しました: ") + out);
    else if (!result.cancelled)
        QMessageBox::warning(
            parent, QString::fromUtf8(kTitle),
            QStringLiteral("書き出せませんでした: ") + QString::fromStdString(result.error));
}

}  // namespace orba
