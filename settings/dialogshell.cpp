#include "settings/dialogshell.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>

namespace orba {

namespace {

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

class DesktopShell : public DialogShell {
public:
    std::optional<std::string> chooseFile(QWidget* parent, const FileChooser& chooser) override {
        QFileDialog dialog(parent, chooser.title, QFile::decodeName(chooser.startFolder.c_str()),
                           qtNameFilter(chooser.filter));
        dialog.setFileMode(QFileDialog::ExistingFile);
        // Music and lyric files come from Windows machines as often as not:
        // "*.mp3" must match "SONG.MP3" too.
        dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return localPath(dialog.selectedFiles().front());
    }

    std::optional<std::string> chooseFolder(QWidget* parent, const QString& title) override {
        const QString folder =
            QFileDialog::getExistingDirectory(parent, title, QString(), QFileDialog::ShowDirsOnly);
        if (folder.isEmpty()) return std::nullopt;
        return withoutTrailingSeparator(localPath(folder));
    }

    void beep() override { QApplication::beep(); }
};

}  // namespace

std::unique_ptr<DialogShell> makeDesktopShell() {
    return std::make_unique<DesktopShell>();
}

QString qtNameFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() < 2) return filter;
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

}  // namespace orba
