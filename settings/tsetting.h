// The settings dialog: a view that edits the player's dialog values. It
// lives from start-up to the end of the process and is shown modally from
// the settings menu.
//
// The controls show the values whenever the dialog opens, and hand them back
// whenever it closes: neither Cancel nor a reload of the main window's
// settings undoes an edit, so every OK (and every song the player opens)
// writes what the controls held last.
#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/companions.h"
#include "settings/dialogshell.h"
#include "settings/dialogvalues.h"

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QWidget;

namespace orba {

class LibraryFolders;

class TSetting : public QDialog {
    Q_OBJECT
public:
    explicit TSetting(DialogValues& model, QWidget* parent = nullptr);
    // Made later than the player's start, but set up with the values
    // `atStart` that the player held then, as if it had been made there.
    TSetting(DialogValues& model, const DialogValues& atStart, QWidget* parent);
    ~TSetting() override;

    // Result of the last music-file choice.
    bool musicFileAccepted = false;

    // OK: writes every control to the settings file, then closes the dialog
    // with OK when it is shown. Throws ProfileWriteError.
    void BitBtn1Click();
    // Music-file choice with the companion rule.
    void Button1Click();
    // The music-file chooser alone, as the Open menu asks it: the chosen
    // path, or nothing when the user cancelled. `songFilesToo` offers
    // UltraStar songs as a second filter.
    std::optional<std::string> chooseMusicFile(bool songFilesToo = false);
    // Message-file choice.
    void Button2Click();
    // Picture-folder choice.
    void Button3Click();
    // Shortcut buttons; `tag` is 1 desktop, 2 applications menu, 3 send to.
    void Button4Click(int tag);
    void TrackBar1Change();

    // The page "ライブラリ" edits these folders; without them it is off.
    // Not owned; they outlive the dialog.
    void setLibraryFolders(LibraryFolders* folders);
    // Folder choice: the chosen folder joins the library at once (its
    // songs are read on the library's worker), as removal leaves it at once:
    // the folders live in the library, not in the settings file.
    void LibraryAddClick();
    void LibraryRemoveClick();

    // What the controls hold, and showing such values in them.
    DialogValues values() const;
    void setValues(const DialogValues& values);

    // The folders the two file choosers open in.
    const std::string& openDialog1Folder() const { return m_openDialog1Folder; }
    const std::string& openDialog2Folder() const { return m_openDialog2Folder; }

    void setShell(std::unique_ptr<DialogShell> shell);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void FormCreate(const DialogValues& values);
    void createControls();
    QWidget* createHeader();
    QWidget* createFilesPage();
    QWidget* createEffectsPage();
    QWidget* createAdvancedPage();
    QWidget* createShortcutsPage();
    QWidget* createLibraryPage();
    // Shows the library's folders, or why they cannot be shown; `note`
    // (when given) says how the last change went.
    void showLibraryFolders(const QString& note = {});

    MusicChoice musicChoice() const;
    void setMusicChoice(const MusicChoice& choice);
    void setFontName(const std::string& name);
    std::string fontName() const;

    DialogValues& m_model;
    std::unique_ptr<DialogShell> m_shell;
    std::string m_openDialog1Folder;
    std::string m_openDialog2Folder;

    // The path fields are read-only and set only by the dialog, so their
    // bytes are kept as read or chosen; the text shown is for the eye only.
    std::string m_bgmFile;
    std::string m_messageFile;
    std::string m_imageFolder;
    // A font name is written back byte for byte unless the user picked
    // another one: a stored name in another encoding survives a round trip.
    std::string m_fontNameRead;
    QString m_fontNameShown;
    int m_storedOpacity = 100;

    QTabWidget* PageControl1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

    // Page "ファイル".
    QCheckBox* CheckBox1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* Button2 = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QPushButton* Button3 = nullptr;
    QCheckBox* CheckBox5 = nullptr;
    QComboBox* ComboBox7 = nullptr;
    QCheckBox* CheckBox6 = nullptr;

    // Page "エフェクト".
    QSpinBox* CSpinEdit3 = nullptr;
    QCheckBox* CheckBox9 = nullptr;
    QCheckBox* CheckBox10 = nullptr;
    QCheckBox* CheckBox11 = nullptr;
    QSpinBox* CSpinEdit2 = nullptr;
    QCheckBox* CheckBox8 = nullptr;
    QFontComboBox* FNComboBox1 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QComboBox* ComboBox4 = nullptr;
    QComboBox* ComboBox5 = nullptr;
    QComboBox* ComboBox6 = nullptr;

    // Page "難しい設定".
    QCheckBox* CBTime = nullptr;
    QCheckBox* CBNoKara = nullptr;
    QSlider* TrackBar1 = nullptr;
    QLabel* Panel1 = nullptr;

    // Page "ライブラリ".
    LibraryFolders* m_libraryFolders = nullptr;
    std::vector<std::string> m_libraryFolderList;  // as the library keeps them, by row
    QListWidget* LibraryList = nullptr;
    QPushButton* LibraryAdd = nullptr;
    QPushButton* LibraryRemove = nullptr;
    QLabel* LibraryNote = nullptr;
};

}  // namespace orba
