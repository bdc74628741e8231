// The settings dialog's controls: a fixed form of 442 x 392 whose controls
// sit at fixed places.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStringList>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>

#include "platform/files.h"
#include "platform/handlerguard.h"
#include "platform/version.h"
#include "resources/headerpicture.h"
#include "resources/okglyph.h"
#include "settings/settingsstore.h"
#include "settings/tsetting.h"

namespace orba {

namespace {

template <class W>
W* place(W* widget, const char* name, int x, int y, int w, int h) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y, int w) {
    return place(new QLabel(text, parent), name, x, y, w, 16);
}

QComboBox* list(QWidget* parent, const char* name, const QStringList& items, int x, int y, int w) {
    auto* box = place(new QComboBox(parent), name, x, y, w, 22);
    box->addItems(items);
    return box;
}

QCheckBox* check(QWidget* parent, const char* name, const QString& text, int x, int y, int w) {
    return place(new QCheckBox(text, parent), name, x, y, w, 20);
}

QSpinBox* spin(QWidget* parent, const char* name, IntRange range, int initial, int x, int y,
               int w) {
    auto* box = place(new QSpinBox(parent), name, x, y, w, 22);
    box->setRange(range.min, range.max);
    box->setSingleStep(range.step);
    box->setValue(initial);
    return box;
}

QLineEdit* pathField(QWidget* parent, const char* name, int y) {
    auto* edit = place(new QLineEdit(parent), name, 8, y, 372, 22);
    edit->setReadOnly(true);
    return edit;
}

QPushButton* chooserButton(QWidget* parent, const char* name, int y) {
    return place(new QPushButton(QStringLiteral("..."), parent), name, 384, y, 26, 22);
}

QGroupBox* group(QWidget* parent, const char* name, const QString& title, int x, int y, int w,
                 int h) {
    return place(new QGroupBox(title, parent), name, x, y, w, h);
}

QString fileUrl(const std::string& path) {
    return QUrl::fromLocalFile(QFile::decodeName(path.c_str())).toString();
}

// A hyperlink label; plain text when there is nothing to point at.
QLabel* link(QWidget* parent, const char* name, const QString& text, const QString& url, int x,
             int y) {
    QLabel* l = label(parent, name, text, x, y, 240);
    if (url.isEmpty()) return l;
    l->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toHtmlEscaped(), text));
    l->setTextFormat(Qt::RichText);
    l->setOpenExternalLinks(true);
    return l;
}

// The README, installed or beside the build.
std::string readmePath() {
    const std::string here = programFolder();
    for (const std::string& candidate :
         {here + "README.md", here + "../README.md", here + "../../README.md",
          std::string("/usr/share/doc/orbakaraoke/README.md")}) {
        if (isRegularFile(candidate)) return candidate;
    }
    return {};
}

}  // namespace

void TSetting::createControls() {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("IPAGothic")});
    font.setPixelSize(12);
    setFont(font);

    createHeader();

    PageControl1 = place(new QTabWidget(this), "PageControl1", 8, 104, 425, 250);
    PageControl1->tabBar()->setStyleSheet(
        QStringLiteral("QTabBar::tab { min-width: 80px; max-width: 80px; padding: 3px 0; }"));
    PageControl1->addTab(createFilesPage(), QStringLiteral("ファイル"));
    PageControl1->addTab(createEffectsPage(), QStringLiteral("エフェクト"));
    PageControl1->addTab(createAdvancedPage(), QStringLiteral("難しい設定"));
    PageControl1->addTab(createShortcutsPage(), QStringLiteral("ショートカット"));
    PageControl1->addTab(createLibraryPage(), QStringLiteral("ライブラリ"));

    BitBtn1 = place(new QPushButton(QStringLiteral("OK"), this), "BitBtn1", 262, 361, 82, 25);
    QIcon glyph;
    glyph.addPixmap(QPixmap::fromImage(okGlyph(true)), QIcon::Normal);
    glyph.addPixmap(QPixmap::fromImage(okGlyph(false)), QIcon::Disabled);
    BitBtn1->setIcon(glyph);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { guarded([&] { BitBtn1Click(); }); });

    BitBtn2 =
        place(new QPushButton(QStringLiteral("キャンセル"), this), "BitBtn2", 351, 361, 82, 25);
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

QWidget* TSetting::createHeader() {
    auto* panel = place(new QFrame(this), "Panel2", 8, 8, 425, 89);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(pal);
    panel->setAutoFillBackground(true);

    auto* picture = place(new QLabel(panel), "Image1", 12, 12, 64, 64);
    picture->setPixmap(QPixmap::fromImage(dialogHeaderPicture()));
    picture->setScaledContents(true);

    QLabel* title = label(panel, "Label7", QStringLiteral("ORBAカラオケプレーヤー"), 92, 10, 300);
    QFont bold = title->font();
    bold.setPixelSize(18);
    bold.setBold(true);
    title->setFont(bold);
    title->setFixedHeight(24);

    label(panel, "Label8", QStringLiteral("Version ") + QString::fromLatin1(kVersion), 92, 36, 200);
    const std::string readme = readmePath();
    link(panel, "URLLabel1", QStringLiteral("README"), readme.empty() ? QString() : fileUrl(readme),
         92, 54);
    link(panel, "URLLabel2", QStringLiteral("設定ファイルのフォルダ"),
         fileUrl(folderPart(settingsFilePath())), 92, 70);
    return panel;
}

QWidget* TSetting::createFilesPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet1"));

    CheckBox1 = check(page, "CheckBox1", QStringLiteral("BGMを鳴らす"), 8, 6, 160);
    Edit1 = pathField(page, "Edit1", 28);
    Button1 = chooserButton(page, "Button1", 28);
    connect(Button1, &QPushButton::clicked, this, [this] { guarded([&] { Button1Click(); }); });

    CheckBox2 = check(page, "CheckBox2", QStringLiteral("テキストを表示"), 8, 56, 160);
    label(page, "Label10", QStringLiteral("ワイプ"), 238, 59, 40);
    ComboBox2 =
        list(page, "ComboBox2", {QStringLiteral("アップ"), QStringLiteral("サイド")}, 290, 56, 120);
    Edit2 = pathField(page, "Edit2", 78);
    Button2 = chooserButton(page, "Button2", 78);
    connect(Button2, &QPushButton::clicked, this, [this] { guarded([&] { Button2Click(); }); });

    CheckBox4 = check(page, "CheckBox4", QStringLiteral("画像を表示"), 8, 106, 160);
    label(page, "Label9", QStringLiteral("スタイル"), 238, 109, 50);
    ComboBox1 = list(page, "ComboBox1",
                     {QStringLiteral("センター"), QStringLiteral("クロス"),
                      QStringLiteral("縦スクロール"), QStringLiteral("センター（拡散）"),
                      QStringLiteral("スライド"), QStringLiteral("センター（透過）")},
                     290, 106, 120);
    Edit3 = pathField(page, "Edit3", 128);
    Button3 = chooserButton(page, "Button3", 128);
    connect(Button3, &QPushButton::clicked, this, [this] { guarded([&] { Button3Click(); }); });

    CheckBox5 = check(page, "CheckBox5", QStringLiteral("モノクロ化"), 8, 158, 110);
    label(page, "Label15", QStringLiteral("透過率："), 130, 161, 50);
    ComboBox7 = list(page, "ComboBox7",
                     {QStringLiteral("   0%（軽い）"), QStringLiteral(" 10%"),
                      QStringLiteral(" 20%"), QStringLiteral(" 30%"), QStringLiteral(" 40%"),
                      QStringLiteral(" 50%"), QStringLiteral(" 60%"), QStringLiteral(" 70%"),
                      QStringLiteral(" 80%"), QStringLiteral(" 90%")},
                     182, 158, 100);
    CheckBox6 = check(page, "CheckBox6", QStringLiteral("暗透過（重い）"), 296, 158, 116);
    return page;
}

QWidget* TSetting::createEffectsPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet2"));

    QGroupBox* text = group(page, "GroupBox1", QStringLiteral("テキスト"), 6, 4, 405, 102);
    label(text, "Label5", QStringLiteral("タイミング遅延"), 10, 21, 84);
    CSpinEdit3 = spin(text, "CSpinEdit3", kTextTimingRange, 0, 96, 18, 70);
    label(text, "Label6", QStringLiteral("ミリ秒"), 170, 21, 40);
    label(text, "Label3", QStringLiteral("文字サイズ"), 222, 21, 60);
    CSpinEdit2 = spin(text, "CSpinEdit2", kFontSizeRange, 100, 284, 18, 60);
    label(text, "Label4", QStringLiteral("%"), 348, 21, 20);
    CheckBox9 = check(text, "CheckBox9", QStringLiteral("ボールド"), 10, 46, 80);
    CheckBox10 = check(text, "CheckBox10", QStringLiteral("イタリック"), 96, 46, 90);
    CheckBox11 = check(text, "CheckBox11", QStringLiteral("アンダーライン"), 192, 46, 110);
    CheckBox8 = check(text, "CheckBox8", QStringLiteral("指定する"), 10, 74, 80);
    FNComboBox1 = place(new QFontComboBox(text), "FNComboBox1", 96, 72, 220, 22);
    // Editable so that a stored face that is not installed here still shows
    // (and is written back); typing must not add names to the list.
    FNComboBox1->setEditable(true);
    FNComboBox1->setInsertPolicy(QComboBox::NoInsert);
    FNComboBox1->setCurrentText(QStringLiteral("Arial"));

    QGroupBox* noise = group(page, "GroupBox2", QStringLiteral("ノイズ"), 6, 112, 200, 102);
    label(noise, "Label1", QStringLiteral("タイプ"), 10, 27, 40);
    ComboBox3 = list(noise, "ComboBox3",
                     {QStringLiteral("なし"), QStringLiteral("シネマ"), QStringLiteral("デジタル"),
                      QStringLiteral("擬似インターレス")},
                     56, 24, 134);
    label(noise, "Label2", QStringLiteral("カラー"), 10, 59, 40);
    ComboBox4 =
        list(noise, "ComboBox4",
             {QStringLiteral("カラー"), QStringLiteral("ブラック"), QStringLiteral("ホワイト")}, 56,
             56, 134);

    QGroupBox* back = group(page, "GroupBox3", QStringLiteral("テキスト背景"), 212, 112, 199, 50);
    label(back, "Label11", QStringLiteral("タイプ"), 10, 23, 40);
    ComboBox5 = list(back, "ComboBox5",
                     {QStringLiteral("なし"), QStringLiteral("網掛け"),
                      QStringLiteral("塗りつぶし"), QStringLiteral("ブルーメッシュ")},
                     56, 20, 133);

    QGroupBox* scene = group(page, "GroupBox4", QStringLiteral("背景"), 212, 164, 199, 50);
    label(scene, "Label13", QStringLiteral("タイプ"), 10, 23, 40);
    ComboBox6 =
        list(scene, "ComboBox6",
             {QStringLiteral("なし"), QStringLiteral("（ランダム）"), QStringLiteral("宇宙飛行"),
              QStringLiteral("レーザー"), QStringLiteral("波紋")},
             56, 20, 133);
    return page;
}

QWidget* TSetting::createAdvancedPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet3"));

    QGroupBox* timeTags = group(page, "GroupBox5", QStringLiteral("タイムタグ"), 6, 4, 405, 48);
    CBTime = check(timeTags, "CBTime", QStringLiteral("擬似追っかけする。"), 12, 20, 200);

    QGroupBox* karaoke =
        group(page, "GroupBox6", QStringLiteral("カラオケタグ＆「伺か」タグ"), 6, 58, 405, 48);
    CBNoKara = check(karaoke, "CBNoKara", QStringLiteral("追っかけしない。"), 12, 20, 200);

    QGroupBox* slide = group(page, "GroupBox7", QStringLiteral("センター表示時切り替えタイミング"),
                             6, 112, 405, 72);
    TrackBar1 = place(new QSlider(Qt::Horizontal, slide), "TrackBar1", 10, 22, 250, 36);
    TrackBar1->setRange(kSlideRange.min, kSlideRange.max);
    TrackBar1->setTickInterval(kSlideRange.step);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setPageStep(kSlideRange.step);
    TrackBar1->setValue(10);
    connect(TrackBar1, &QSlider::valueChanged, this,
            [this] { guarded([&] { TrackBar1Change(); }); });

    Panel1 = place(new QLabel(QStringLiteral("1000 "), slide), "Panel1", 270, 26, 76, 24);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette pal = Panel1->palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::yellow);
    Panel1->setPalette(pal);
    Panel1->setAutoFillBackground(true);
    QFont bold = Panel1->font();
    bold.setBold(true);
    Panel1->setFont(bold);
    label(slide, "Label16", QStringLiteral("ミリ秒"), 352, 31, 40);
    return page;
}

QWidget* TSetting::createShortcutsPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet4"));

    const QString captions[] = {
        QStringLiteral("デスクトップにショートカットアイコンを作る"),
        QStringLiteral("スタートメニューにショートカットアイコンを作る"),
        QStringLiteral("「右クリック→送る」\u3000にショートカットアイコンを作る"),
    };
    const char* names[] = {"Button4", "Button5", "Button6"};
    for (int tag = 1; tag <= 3; ++tag) {
        auto* button = place(new QPushButton(captions[tag - 1], page), names[tag - 1], 40,
                             16 + (tag - 1) * 40, 330, 30);
        button->setProperty("tag", tag);
        connect(button, &QPushButton::clicked, this,
                [this, tag] { guarded([&] { Button4Click(tag); }); });
    }
    label(page, "Label17", QStringLiteral("※作成したショートカットの削除は自力でm(__)m"), 40, 150,
          330);
    return page;
}

QWidget* TSetting::createLibraryPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheet5"));

    label(page, "Label18", QStringLiteral("曲を探すフォルダ"), 8, 6, 300);
    LibraryList = place(new QListWidget(page), "LibraryList", 8, 26, 318, 140);
    LibraryAdd =
        place(new QPushButton(QStringLiteral("追加..."), page), "LibraryAdd", 334, 26, 76, 25);
    connect(LibraryAdd, &QPushButton::clicked, this,
            [this] { guarded([&] { LibraryAddClick(); }); });
    LibraryRemove =
        place(new QPushButton(QStringLiteral("削除"), page), "LibraryRemove", 334, 58, 76, 25);
    connect(LibraryRemove, &QPushButton::clicked, this,
            [this] { guarded([&] { LibraryRemoveClick(); }); });
    LibraryNote = place(new QLabel(page), "LibraryNote", 8, 172, 402, 44);
    LibraryNote->setWordWrap(true);
    LibraryNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return page;
}

}  // namespace orba
