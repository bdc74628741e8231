#include "settings/tsetting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QStringDecoder>

#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/musictypes.h"
#include "platform/profilefile.h"
#include "platform/sjis.h"
#include "settings/libraryfolders.h"
#include "settings/settingsstore.h"
#include "settings/shortcuts.h"

namespace orba {

namespace {

FileChooser openDialog1() {
    return {QStringLiteral("BGMファイルの選択"),
            QStringLiteral("オーディオファイル|") + QString::fromStdString(musicFilePatterns()),
            {}};
}
const FileChooser kOpenDialog2{QStringLiteral("メッセージファイルの選択"),
                               QStringLiteral("テキストファイル TXT|*.txt;*.lrc;*.ass;*.ssa"),
                               {}};

QString shownPath(const std::string& path) {
    return QFile::decodeName(path.c_str());
}

}  // namespace

TSetting::TSetting(DialogValues& model, QWidget* parent) : TSetting(model, model, parent) {}

TSetting::TSetting(DialogValues& model, const DialogValues& atStart, QWidget* parent)
    : QDialog(parent), m_model(model), m_shell(makeDesktopShell()) {
    setWindowTitle(QStringLiteral("ORBA KARAOKE"));
    createControls();
    setFixedSize(442, 392);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate(atStart);
}

TSetting::~TSetting() = default;

void TSetting::setShell(std::unique_ptr<DialogShell> shell) {
    m_shell = std::move(shell);
}

void TSetting::FormCreate(const DialogValues& values) {
    setValues(values);
    m_openDialog1Folder = folderPart(m_bgmFile);
    m_openDialog2Folder = folderPart(m_messageFile);
    showLibraryFolders();
}

void TSetting::showEvent(QShowEvent* event) {
    // The player may have chosen a song (and its companions) since the
    // dialog was last open.
    if (m_model.music.bgmFile != m_bgmFile && !m_model.music.bgmFile.empty())
        m_openDialog2Folder = folderPart(m_model.music.bgmFile);
    setValues(m_model);
    // A scan or another player may have changed the library meanwhile.
    showLibraryFolders();
    QDialog::showEvent(event);
}

void TSetting::done(int result) {
    m_model = values();
    QDialog::done(result);
}

void TSetting::BitBtn1Click() {
    m_model = values();
    {
        ProfileFile file(settingsFilePath());
        writeDialogValues(file, m_model);
    }
    if (isVisible())
        accept();
    else
        setResult(QDialog::Accepted);
}

std::optional<std::string> TSetting::chooseMusicFile(bool songFilesToo) {
    FileChooser chooser = openDialog1();
    // An UltraStar song or a zip of music and graphics opens as a song, but
    // is no music for the BGM field; a karaoke video is both, offered apart
    // so the design's filter stays.
    if (songFilesToo)
        chooser.filter += QStringLiteral("|ビデオファイル|") +
                          QString::fromStdString(videoFilePatterns()) +
                          QStringLiteral("|UltraStar|*.txt|MP3+G|*.zip");
    chooser.startFolder = m_openDialog1Folder;
    std::optional<std::string> file = m_shell->chooseFile(this, chooser);
    musicFileAccepted = file.has_value();
    if (file) m_openDialog2Folder = folderPart(*file);
    return file;
}

void TSetting::Button1Click() {
    const MusicChoice before = musicChoice();
    std::optional<std::string> file = chooseMusicFile();
    if (!file) return;
    const std::string& chosen = *file;

    const CompanionsFound found = findCompanions(companionPathsFor(chosen));
    setMusicChoice(chooseCompanions(before, chosen, found));
}

void TSetting::Button2Click() {
    FileChooser chooser = kOpenDialog2;
    chooser.startFolder = m_openDialog2Folder;
    std::optional<std::string> file = m_shell->chooseFile(this, chooser);
    if (!file) return;
    MusicChoice c = musicChoice();
    c.useMessage = true;
    c.messageFile = *file;
    setMusicChoice(c);
}

void TSetting::Button3Click() {
    std::optional<std::string> folder =
        m_shell->chooseFolder(this, QStringLiteral("画像フォルダの選択"));
    if (!folder) return;
    MusicChoice c = musicChoice();
    c.useImages = true;
    c.imageFolder = withoutTrailingSeparator(*folder);
    setMusicChoice(c);
}

void TSetting::Button4Click(int tag) {
    if (!createShortcut(tag, shortcutEnvironmentFromProcess(), programPath())) return;
    m_shell->beep();
}

void TSetting::TrackBar1Change() {
    Panel1->setText(QString::fromStdString(slidePanelCaption(TrackBar1->value())));
}

void TSetting::setLibraryFolders(LibraryFolders* folders) {
    m_libraryFolders = folders;
    // Read when the dialog shows: at start-up the library is the
    // scanner's to open first.
    if (isVisible()) showLibraryFolders();
}

void TSetting::showLibraryFolders(const QString& note) {
    LibraryList->clear();
    m_libraryFolderList.clear();
    const bool on = m_libraryFolders != nullptr;
    LibraryAdd->setEnabled(on);
    LibraryRemove->setEnabled(false);
    if (!on) {
        LibraryNote->setText(QStringLiteral("このウィンドウではライブラリを使えません。"));
        return;
    }
    try {
        m_libraryFolderList = m_libraryFolders->folders();
    } catch (const std::exception& e) {
        LibraryNote->setText(QStringLiteral("ライブラリを開けません: ") +
                             QString::fromUtf8(e.what()));
        return;
    }
    for (const std::string& folder : m_libraryFolderList) LibraryList->addItem(shownPath(folder));
    if (!m_libraryFolderList.empty()) LibraryList->setCurrentRow(0);
    LibraryRemove->setEnabled(!m_libraryFolderList.empty());
    if (!note.isEmpty())
        LibraryNote->setText(note);
    else if (m_libraryFolderList.empty())
        LibraryNote->setText(
            QStringLiteral("フォルダを追加すると、その中の曲を Ctrl+F で探せます。"));
    else
        LibraryNote->setText(QStringLiteral("フォルダの中の曲は自動で読み込まれます。"));
}

void TSetting::LibraryAddClick() {
    if (!m_libraryFolders) return;
    std::optional<std::string> folder =
        m_shell->chooseFolder(this, QStringLiteral("ライブラリに加えるフォルダの選択"));
    if (!folder) return;
    QString note = QStringLiteral("追加しました。曲を読み込んでいます: ") + shownPath(*folder);
    try {
        m_libraryFolders->addFolder(*folder);
    } catch (const std::exception& e) {
        note = QStringLiteral("追加できません: ") + QString::fromUtf8(e.what());
    }
    showLibraryFolders(note);
}

void TSetting::LibraryRemoveClick() {
    const int row = LibraryList->currentRow();
    if (!m_libraryFolders || row < 0 || row >= static_cast<int>(m_libraryFolderList.size())) return;
    const std::string folder = m_libraryFolderList[static_cast<std::size_t>(row)];
    QString note = QStringLiteral("削除しました: ") + shownPath(folder);
    try {
        m_libraryFolders->removeFolder(folder);
    } catch (const std::exception& e) {
        note = QStringLiteral("削除できません: ") + QString::fromUtf8(e.what());
    }
    showLibraryFolders(note);
}

MusicChoice TSetting::musicChoice() const {
    MusicChoice c;
    c.useBgm = CheckBox1->isChecked();
    c.bgmFile = m_bgmFile;
    c.useMessage = CheckBox2->isChecked();
    c.messageFile = m_messageFile;
    c.useImages = CheckBox4->isChecked();
    c.imageFolder = m_imageFolder;
    return c;
}

void TSetting::setMusicChoice(const MusicChoice& c) {
    CheckBox1->setChecked(c.useBgm);
    m_bgmFile = c.bgmFile;
    Edit1->setText(shownPath(c.bgmFile));
    CheckBox2->setChecked(c.useMessage);
    m_messageFile = c.messageFile;
    Edit2->setText(shownPath(c.messageFile));
    CheckBox4->setChecked(c.useImages);
    m_imageFolder = c.imageFolder;
    Edit3->setText(shownPath(c.imageFolder));
}

void TSetting::setFontName(const std::string& name) {
    m_fontNameRead = name;
    m_fontNameShown = fontFaceText(name);
    FNComboBox1->setCurrentText(m_fontNameShown);
}

std::string TSetting::fontName() const {
    const QString current = FNComboBox1->currentText();
    if (current == m_fontNameShown) return m_fontNameRead;
    return current.toStdString();
}

DialogValues TSetting::values() const {
    DialogValues v;
    v.music = musicChoice();
    v.monoChrome = CheckBox5->isChecked();
    v.wipeStyle = ComboBox2->currentIndex();
    v.imageStyle = ComboBox1->currentIndex();
    v.textBack = ComboBox5->currentIndex();
    v.noiseType = ComboBox3->currentIndex();
    v.noiseColor = ComboBox4->currentIndex();
    v.fontSpecified = CheckBox8->isChecked();
    v.fontName = fontName();
    v.fontBold = CheckBox9->isChecked();
    v.fontItalic = CheckBox10->isChecked();
    v.fontUnderline = CheckBox11->isChecked();
    v.fontSizePercent = CSpinEdit2->value();
    v.textTiming = CSpinEdit3->value();
    v.backgroundType = ComboBox6->currentIndex();
    v.slidePosition = TrackBar1->value();
    v.darkTransparency = CheckBox6->isChecked();
    v.transparency = ComboBox7->currentIndex();
    v.timeForce = CBTime->isChecked();
    v.noKaraoke = CBNoKara->isChecked();
    v.storedOpacity = m_storedOpacity;
    return v;
}

void TSetting::setValues(const DialogValues& v) {
    setMusicChoice(v.music);
    CheckBox5->setChecked(v.monoChrome);
    // An index outside a list leaves it without a selection.
    auto select = [](QComboBox* box, int index) {
        box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
    };
    select(ComboBox2, v.wipeStyle);
    select(ComboBox1, v.imageStyle);
    select(ComboBox5, v.textBack);
    select(ComboBox3, v.noiseType);
    select(ComboBox4, v.noiseColor);
    CheckBox8->setChecked(v.fontSpecified);
    setFontName(v.fontName);
    CheckBox9->setChecked(v.fontBold);
    CheckBox10->setChecked(v.fontItalic);
    CheckBox11->setChecked(v.fontUnderline);
    CSpinEdit2->setValue(v.fontSizePercent);
    CSpinEdit3->setValue(v.textTiming);
    select(ComboBox6, v.backgroundType);
    TrackBar1->setValue(v.slidePosition);
    TrackBar1Change();
    CheckBox6->setChecked(v.darkTransparency);
    select(ComboBox7, v.transparency);
    CBTime->setChecked(v.timeForce);
    CBNoKara->setChecked(v.noKaraoke);
    m_storedOpacity = v.storedOpacity;
}

}  // namespace orba
