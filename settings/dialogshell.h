// What the settings dialog asks of the desktop: the file choosers, the
// folder browser and the information beep. Tests put a scripted shell in
// place of the real one so that nothing ever waits for a user.
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "platform/files.h"

class QWidget;

namespace orba {

// A file chooser: its title, its filter in the "description|*.a;*.b" form
// and the folder it opens in.
struct FileChooser {
    QString title;
    QString filter;
    std::string startFolder;
};

class DialogShell {
public:
    virtual ~DialogShell() = default;
    // The chosen file, or nothing when the user cancelled.
    virtual std::optional<std::string> chooseFile(QWidget* parent, const FileChooser& chooser) = 0;
    // The chosen folder (without a trailing separator), or nothing.
    virtual std::optional<std::string> chooseFolder(QWidget* parent, const QString& title) = 0;
    virtual void beep() = 0;
};

// Qt's file dialogs and the application's beep.
std::unique_ptr<DialogShell> makeDesktopShell();

// "オーディオファイル|*.mid;*.wav" as Qt writes it: "オーディオファイル (*.mid *.wav)";
// further name and pattern pairs after another "|" are further filters.
QString qtNameFilter(const QString& filter);

}  // namespace orba
