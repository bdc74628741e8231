// The settings dialog. It lives from start-up to the end of the process and
// is shown modally from the settings menu.
#pragma once

#include <QDialog>
#include <string>

namespace orba {

class TSetting : public QDialog {
    Q_OBJECT
public:
    explicit TSetting(QWidget* parent = nullptr);

    // When not empty, the music-file choice takes this path instead of asking.
    std::string presetMusicFile;
    // Result of the last music-file choice.
    bool musicFileAccepted = false;
};

}  // namespace orba
