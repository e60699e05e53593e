#include "frmButton.h"

#include "ButtonPicture.h"
#include "Presets.h"
#include "widgets/FormParts.h"
#include "base/modGlobals.h"
#include "base/modUtil.h"
#include "captions/frmVarInfo.h"
#include "platform/Services.h"

#include <Command.h>
#include <OleColor.h>
#include <VbNumber.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

using modGlobals::SS;

namespace {

const int resolutions[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200}};
const int depths[] = {8, 16, 32};
const int refreshRates[] = {60, 70, 72, 75, 85, 100};
// Combo3 lists "Center", "Left", "Right"; the record stores the text alignment.
const int textAlignments[] = {1, 0, 2};

qint16 vbBool(const QCheckBox *box)
{
    return box->isChecked() ? VbTrue : VbFalse;
}

QComboBox *combo(QWidget *parent, const char *name, const QStringList &items)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    return box;
}

QComboBox *edgeStyles(QWidget *parent, const char *name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItem(QStringLiteral("Soft"), 0);
    box->addItem(QStringLiteral("Flat"), 1);
    box->addItem(QStringLiteral("Mono"), 2);
    return box;
}

QCheckBox *check(QWidget *parent, const char *name, const QString &text)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QLineEdit *field(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QGroupBox *frame(QWidget *parent, const QString &title, QLayout *layout)
{
    auto *box = new QGroupBox(title, parent);
    box->setLayout(layout);
    return box;
}

QHBoxLayout *row(std::initializer_list<QWidget *> widgets)
{
    auto *layout = new QHBoxLayout;
    for (QWidget *w : widgets)
        layout->addWidget(w);
    return layout;
}

// Selects the entry whose value matches; no match leaves the list as it is.
template<typename Values>
void selectValue(QComboBox *box, const Values &values, int value)
{
    for (int i = 0; i < int(std::size(values)); ++i)
        if (values[i] == value)
            box->setCurrentIndex(i);
}

void selectData(QComboBox *box, int value)
{
    const int index = box->findData(value);
    if (index >= 0)
        box->setCurrentIndex(index);
}

// Each word with its first letter capital and the rest small.
QString properCase(const QString &text)
{
    QString result = text.toLower();
    bool start = true;
    for (QChar &c : result) {
        if (start && c.isLetter())
            c = c.toUpper();
        start = c.isSpace();
    }
    return result;
}

// Picture files and programs whose icon can be shown; ".wmf" has no reader here.
bool supportedPicture(const QString &path)
{
    static const QStringList suffixes = {QStringLiteral("exe"), QStringLiteral("ico"), QStringLiteral("gif"),
                                         QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                         QStringLiteral("png"), QStringLiteral("svg"), QStringLiteral("desktop")};
    const QFileInfo info(path);
    const QString name = info.fileName();
    const int dot = int(name.lastIndexOf(QLatin1Char('.')));
    const QString suffix = dot < 0 ? QString() : name.mid(dot + 1).toLower();
    return suffixes.contains(suffix) || (info.isFile() && info.isExecutable());
}

} // namespace

frmButton::frmButton(const std::optional<BUTTON> &record, QWidget *parent)
    : QDialog(parent)
    , m_record(record.value_or(BUTTON()))
    , m_isNew(!record)
{
    setObjectName(QStringLiteral("frmButton"));
    setWindowTitle(QStringLiteral("Button properties"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QFont tahoma = font();
    tahoma.setFamily(QStringLiteral("Tahoma"));
    setFont(tahoma);

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->addTab(buildLinkTab(), QStringLiteral("Link"));
    SSTab1->addTab(buildLayoutTab(), QStringLiteral("Layout"));
    SSTab1->addTab(buildScreenTab(), QStringLiteral("Screen"));

    Check1 = check(this, "Check1", QStringLiteral("Enabled"));
    Command11 = FormParts::Button(this, "Command11", QStringLiteral("Variables..."), QSize(100, 28));
    Command7 = FormParts::Button(this, "Command7", QStringLiteral("OK"), QSize(90, 28));
    Command7->setButtonType(Command::BType::OkButton);
    Command6 = FormParts::Button(this, "Command6", QStringLiteral("Cancel"), QSize(90, 28));
    Command6->setButtonType(Command::BType::CancelButton);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(Check1);
    bottom->addStretch();
    bottom->addWidget(Command11);
    bottom->addWidget(Command7);
    bottom->addWidget(Command6);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1);
    layout->addLayout(bottom);

    connect(Command7, &Command::Click, this, &frmButton::Command7_Click);
    connect(Command6, &Command::Click, this, &frmButton::Command6_Click);
    connect(Command11, &Command::Click, this, [this] { frmVarInfo::ShowModal(this); });
    connect(Command4, &Command::Click, this, &frmButton::chooseLink);
    connect(Command13, &Command::Click, this, &frmButton::chooseCommandLineFile);
    connect(Command5, &Command::Click, this, &frmButton::choosePicture);
    connect(Command3[0], &Command::Click, this, [this] { chooseColor(0); });
    connect(Command3[1], &Command::Click, this, [this] { chooseColor(1); });
    connect(Command1, &Command::Click, this, &frmButton::chooseFont);
    connect(Command10, &Command::Click, this, &frmButton::setCurrentScreenMode);
    connect(chkShellExecute, &QCheckBox::clicked, this, &frmButton::applyOptionRules);
    connect(Check2, &QCheckBox::clicked, this, &frmButton::applyOptionRules);
    connect(Text1, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!m_loading)
            Command2->setCaption(text);
    });
    connect(Text3, &QLineEdit::textChanged, this, &frmButton::refreshPreview);
    for (QCheckBox *box : {Check1, chkOverEffects, chkTransparent, chkBevel, chkNoGray})
        connect(box, &QCheckBox::toggled, this, &frmButton::refreshPreview);
    for (QComboBox *box : {Combo1, Combo2, Combo3, Combo4, Combo5, Combo6})
        connect(box, &QComboBox::currentIndexChanged, this, &frmButton::refreshPreview);

    if (!m_isNew)
        fill(m_record);
    else if (const BUTTON *preset = Presets::DefaultPreset(SS))
        fill(*preset);
    else
        fillDefaults();
    applyOptionRules();
    writeFontLabels();
    m_loading = false;
    refreshPreview();

    FocusTimer = new QTimer(this);
    FocusTimer->setObjectName(QStringLiteral("FocusTimer"));
    FocusTimer->setSingleShot(true);
    FocusTimer->setInterval(10);
    connect(FocusTimer, &QTimer::timeout, this, [this] {
        SSTab1->setCurrentIndex(1);
        Text1->selectAll();
        Text1->setFocus(Qt::OtherFocusReason);
    });
    SSTab1->setCurrentIndex(1);
    FocusTimer->start();
}

QWidget *frmButton::buildLinkTab()
{
    auto *tab = new QWidget;
    Text2 = field(tab, "Text2");
    Command4 = FormParts::Button(tab, "Command4", QStringLiteral("..."), QSize(32, 24));
    Text5 = field(tab, "Text5");
    Text4 = field(tab, "Text4");
    Command13 = FormParts::Button(tab, "Command13", QStringLiteral("..."), QSize(32, 24));
    chkShellExecute = check(tab, "chkShellExecute", QStringLiteral("Use ShellExecute (Ignores all Process limitations!)"));
    Check2 = check(tab, "Check2", QStringLiteral("Only allow one instance of this application"));
    auto *options = new QVBoxLayout;
    options->addWidget(chkShellExecute);
    options->addWidget(Check2);
    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(frame(tab, QStringLiteral("Link"), row({Text2, Command4})));
    layout->addWidget(frame(tab, QStringLiteral("Password"), row({Text5})));
    layout->addWidget(frame(tab, QStringLiteral("Command line options"), row({Text4, Command13})));
    layout->addWidget(frame(tab, QStringLiteral("Process Options"), options));
    layout->addStretch();
    return tab;
}

QWidget *frmButton::buildLayoutTab()
{
    auto *tab = new QWidget;
    Text1 = field(tab, "Text1");
    Text3 = field(tab, "Text3");
    Command5 = FormParts::Button(tab, "Command5", QStringLiteral("File..."), QSize(70, 24));
    Combo1 = combo(tab, "Combo1", {QStringLiteral("Large (32x32)"), QStringLiteral("Small (16x16)")});
    auto *icon = new QVBoxLayout;
    icon->addLayout(row({Text3, Command5}));
    icon->addWidget(Combo1);

    Combo3 = combo(tab, "Combo3", {QStringLiteral("Center"), QStringLiteral("Left"), QStringLiteral("Right")});
    Combo4 = combo(tab, "Combo4", {QStringLiteral("Left side of text"), QStringLiteral("Right side of text"),
                                   QStringLiteral("Center")});
    auto *alignment = new QGridLayout;
    alignment->addWidget(new QLabel(QStringLiteral("Text:"), tab), 0, 0);
    alignment->addWidget(Combo3, 0, 1);
    alignment->addWidget(new QLabel(QStringLiteral("Picture:"), tab), 1, 0);
    alignment->addWidget(Combo4, 1, 1);

    chkOverEffects = check(tab, "chkOverEffects", QStringLiteral("Enable Mouse out/over effects:"));
    Combo2 = edgeStyles(tab, "Combo2");
    Combo5 = edgeStyles(tab, "Combo5");
    Combo6 = edgeStyles(tab, "Combo6");
    chkTransparent = check(tab, "chkTransparent", QStringLiteral("Transparent"));
    chkBevel = check(tab, "chkBevel", QStringLiteral("Border"));
    chkNoGray = check(tab, "chkNoGray", QStringLiteral("Not gray when disabled"));
    auto *edges = new QGridLayout;
    edges->addWidget(chkOverEffects, 0, 0, 1, 2);
    edges->addWidget(new QLabel(QStringLiteral("Over:"), tab), 1, 0);
    edges->addWidget(Combo2, 1, 1);
    edges->addWidget(new QLabel(QStringLiteral("Out:"), tab), 2, 0);
    edges->addWidget(Combo5, 2, 1);
    edges->addWidget(new QLabel(QStringLiteral("Click:"), tab), 3, 0);
    edges->addWidget(Combo6, 3, 1);
    auto *style = new QVBoxLayout;
    style->addWidget(frame(tab, QStringLiteral("Border Effects"), edges));
    style->addWidget(chkTransparent);
    style->addWidget(chkBevel);
    style->addWidget(chkNoGray);

    auto *colors = new QGridLayout;
    const char *names[] = {"Command3_0", "Command3_1"};
    const QString labels[] = {QStringLiteral("Text:"), QStringLiteral("Background:")};
    for (int i = 0; i < 2; ++i) {
        Command3[i] = FormParts::Button(tab, names[i], QString(), QSize(60, 22));
        colors->addWidget(new QLabel(labels[i], tab), i, 0);
        colors->addWidget(Command3[i], i, 1);
    }

    Command1 = FormParts::Button(tab, "Command1", QStringLiteral("..."), QSize(32, 24));
    Label7 = new QLabel(QStringLiteral("AaBbYyZz"), tab);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setMinimumHeight(28);
    auto *fontBox = new QGridLayout;
    fontBox->addWidget(Label7, 0, 0);
    fontBox->addWidget(Command1, 0, 1, Qt::AlignRight);
    for (int i = 0; i < 4; ++i) {
        Label1[i] = new QLabel(tab);
        Label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        fontBox->addWidget(Label1[i], 1 + i, 0, 1, 2);
    }

    picBack = new QFrame(tab);
    picBack->setObjectName(QStringLiteral("picBack"));
    picBack->setFixedSize(380, 210);
    picBack->setFrameShape(QFrame::StyledPanel);
    // The menu's own background colour, so that the preview looks as it will.
    picBack->setAutoFillBackground(true);
    QPalette palette = picBack->palette();
    palette.setColor(QPalette::Window, OleColor::toQColor(quint32(SS.ScreenBackColor)));
    picBack->setPalette(palette);
    Command2 = new Command(picBack);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setCaption(QStringLiteral("Preview Button"));
    auto *preview = new QVBoxLayout;
    preview->addWidget(picBack);

    auto *grid = new QGridLayout(tab);
    grid->addWidget(frame(tab, QStringLiteral("Text"), row({Text1})), 0, 0);
    grid->addWidget(frame(tab, QStringLiteral("Icon"), icon), 1, 0);
    grid->addWidget(frame(tab, QStringLiteral("Alignment"), alignment), 2, 0);
    grid->addWidget(frame(tab, QStringLiteral("Color"), colors), 3, 0);
    grid->addWidget(frame(tab, QStringLiteral("Style"), style), 0, 1, 3, 1);
    grid->addWidget(frame(tab, QStringLiteral("Font"), fontBox), 3, 1, 2, 1);
    grid->addWidget(frame(tab, QStringLiteral("Preview"), preview), 0, 2, 5, 1, Qt::AlignTop);
    grid->setRowStretch(4, 1);
    return tab;
}

QWidget *frmButton::buildScreenTab()
{
    auto *tab = new QWidget;
    chkScreen = check(tab, "chkScreen", QStringLiteral("Set Screen Resolution"));
    QStringList sizes;
    for (const auto &r : resolutions)
        sizes << QStringLiteral("%1 x %2").arg(r[0]).arg(r[1]);
    cmbRes = combo(tab, "cmbRes", sizes);
    cmbDpt = combo(tab, "cmbDpt", {QStringLiteral("8 Bit"), QStringLiteral("16 Bit"), QStringLiteral("32 Bit")});
    QStringList rates;
    for (int rate : refreshRates)
        rates << QStringLiteral("%1 Hz").arg(rate);
    cmbRef = combo(tab, "cmbRef", rates);
    Command10 = FormParts::Button(tab, "Command10", QStringLiteral("Set to current screen mode"), QSize(200, 28));
    auto *grid = new QGridLayout;
    grid->addWidget(chkScreen, 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Resolution:"), tab), 1, 0);
    grid->addWidget(cmbRes, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Color Depth:"), tab), 2, 0);
    grid->addWidget(cmbDpt, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Refresh Rate:"), tab), 3, 0);
    grid->addWidget(cmbRef, 3, 1);
    grid->addWidget(Command10, 4, 1);
    auto *note = new QLabel(
        QStringLiteral("<b>Note!</b><br>Screen resolution can only be changed on these conditions:<br>"
                       "1. In the settings dialog, \"Allow only one process at a time\" MUST be checked!<br>"
                       "2. In this dialog (Link) \"ShellExecute\" should NOT be checked!<br>"
                       "3. In this dialog (Link) \"Only allow one instance of this application\" MUST be checked!"),
        tab);
    note->setObjectName(QStringLiteral("lblNote"));
    note->setWordWrap(true);
    grid->addWidget(note, 5, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(frame(tab, QStringLiteral("Screen Resolution"), grid));
    layout->addStretch();
    return tab;
}

void frmButton::fill(const BUTTON &b)
{
    Text1->setText(b.Caption);
    Combo3->setCurrentIndex(b.TextAlignment == 0 ? 1 : b.TextAlignment == 2 ? 2 : 0);
    Combo4->setCurrentIndex(b.PictureAlignment >= 0 && b.PictureAlignment <= 2 ? b.PictureAlignment : 0);
    Command3[1]->setBackColor(quint32(b.BackColor));
    Command3[0]->setBackColor(quint32(b.ForeColor));
    QFont sample = Label7->font();
    sample.setFamily(b.FontName);
    sample.setBold(b.FontBold != 0);
    sample.setItalic(b.FontItalic != 0);
    if (b.FontSize > 0)
        sample.setPointSizeF(b.FontSize);
    Label7->setFont(sample);
    Text3->setText(b.PicturePath);
    Command2->resize(std::max(0, b.Width), std::max(0, b.Height));
    Check1->setChecked(b.Enabled != 0);
    Text2->setText(b.Link);
    Text4->setText(b.Parameters);
    Text5->setText(b.Password);
    Check2->setChecked(b.OneInstance != 0);
    chkShellExecute->setChecked(b.UseShellExecute != 0);
    chkScreen->setChecked(b.SetResolution != 0);
    setScreenMode(b.ScreenWidth, b.RefreshRate, b.ColorDepth);
    chkTransparent->setChecked(b.Transparent != 0);
    chkBevel->setChecked(b.Bevel != 0);
    chkNoGray->setChecked(b.NoGray != 0);
    if (b.PictureSize == 0 || b.PictureSize == 1)
        Combo1->setCurrentIndex(b.PictureSize);
    const VbList<QString> &extra = b.ExtraStrings;
    chkOverEffects->setChecked(extra.has(1) && VbNumber::Val(extra.at(1)) == 1.0);
    QComboBox *edges[] = {Combo2, Combo5, Combo6};
    for (int k = 0; k < 3; ++k)
        if (extra.has(2 + k))
            selectData(edges[k], VbNumber::ValInt(extra.at(2 + k)));
}

void frmButton::fillDefaults()
{
    Command2->resize(130, 50);
    Combo3->setCurrentIndex(1);
    QFont sample = Label7->font();
    sample.setFamily(SS.FontName);
    if (SS.FontSize > 0)
        sample.setPointSizeF(SS.FontSize);
    sample.setBold(SS.FontBold != 0);
    sample.setItalic(SS.FontItalic != 0);
    Label7->setFont(sample);
    Command3[0]->setBackColor(quint32(SS.ScreenTextColor));
    Command3[1]->setBackColor(OleColor::ButtonFace);
    Check1->setChecked(true);
    chkBevel->setChecked(true);
}

void frmButton::setScreenMode(int width, int refreshRate, int depth)
{
    for (int i = 0; i < int(std::size(resolutions)); ++i)
        if (resolutions[i][0] == width)
            cmbRes->setCurrentIndex(i);
    selectValue(cmbRef, refreshRates, refreshRate);
    selectValue(cmbDpt, depths, depth);
}

void frmButton::write(BUTTON &b) const
{
    b.Caption = Text1->text();
    b.ForeColor = qint32(Command3[0]->BackColor());
    b.BackColor = qint32(Command3[1]->BackColor());
    b.Enabled = vbBool(Check1);
    const QFont sample = Label7->font();
    b.FontName = sample.family();
    b.FontBold = sample.bold() ? VbTrue : VbFalse;
    b.FontItalic = sample.italic() ? VbTrue : VbFalse;
    b.FontSize = float(sample.pointSizeF());
    b.Width = Command2->width();
    b.Height = Command2->height();
    b.Link = Text2->text();
    b.Parameters = Text4->text();
    b.Password = Text5->text();
    b.PicturePath = Text3->text();
    b.PictureAlignment = Combo4->currentIndex();
    b.TextAlignment = textAlignments[std::max(0, Combo3->currentIndex())];
    b.OneInstance = vbBool(Check2);
    b.UseShellExecute = vbBool(chkShellExecute);
    b.SetResolution = vbBool(chkScreen);
    b.Transparent = vbBool(chkTransparent);
    b.Bevel = vbBool(chkBevel);
    b.NoGray = chkNoGray->isChecked() ? 1 : 0;
    b.PictureSize = Combo1->currentIndex();
    b.EnsureExtraStrings();
    b.ExtraStrings.at(1) = chkOverEffects->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    b.ExtraStrings.at(2) = QString::number(Combo2->currentData().toInt());
    b.ExtraStrings.at(3) = QString::number(Combo5->currentData().toInt());
    b.ExtraStrings.at(4) = QString::number(Combo6->currentData().toInt());
    const int res = std::max(0, cmbRes->currentIndex());
    b.ScreenWidth = qint16(resolutions[res][0]);
    b.ScreenHeight = qint16(resolutions[res][1]);
    b.RefreshRate = qint16(refreshRates[std::max(0, cmbRef->currentIndex())]);
    b.ColorDepth = quint8(depths[std::max(0, cmbDpt->currentIndex())]);
}

void frmButton::applyOptionRules()
{
    const bool shell = chkShellExecute->isChecked();
    Check2->setEnabled(!shell);
    chkScreen->setEnabled(!shell && Check2->isChecked() && SS.OneProcessOnly != 0);
}

void frmButton::refreshPreview()
{
    if (m_loading)
        return;
    Command *p = Command2;
    p->LockUpdate(true);
    p->setForeColor(Command3[0]->BackColor());
    p->setBackColor(Command3[1]->BackColor());
    p->setBevel(chkBevel->isChecked());
    p->setDrawAsDisabled(!Check1->isChecked());
    p->setVisEnabledState(!chkNoGray->isChecked());
    p->setButtonType(chkTransparent->isChecked() ? Command::BType::Transparent : Command::BType::CustomButton);
    p->setCaption(Text1->text());
    p->setPicture(ButtonPicture::LoadButtonPicture(Text3->text(), Combo1->currentIndex()));
    p->setTextAlignment(Command::tAlignments(textAlignments[std::max(0, Combo3->currentIndex())]));
    p->setPictureAlignment(Command::pAlignments(std::max(0, Combo4->currentIndex())));
    p->setMouseOverEffect(chkOverEffects->isChecked());
    p->setMouseOverStyle(Command::ButtonEdgeStyles(Combo2->currentData().toInt()));
    p->setMouseOutStyle(Command::ButtonEdgeStyles(Combo5->currentData().toInt()));
    p->setMouseClickStyle(Command::ButtonEdgeStyles(Combo6->currentData().toInt()));
    p->setFont(Label7->font());
    // Centred in the picture box while it fits, else from its corner.
    p->move(std::max(0, (picBack->width() - p->width()) / 2), std::max(0, (picBack->height() - p->height()) / 2));
    p->LockUpdate(false);
}

void frmButton::writeFontLabels()
{
    FormParts::WriteFontLabels(Label7, Label1);
}

void frmButton::choosePicture()
{
    const QString current = modUtil::LocalPath(modUtil::ExpandPathVars(Text3->text()));
    const QString folder = Text3->text().isEmpty() ? SS.LastPictureFolder : modUtil::FolderOf(current);
    for (;;) {
        const QString path = platform::Services::dialogs().openFile(
            QStringLiteral("Open Button picture"), folder,
            QStringLiteral("All supported formats|*.exe;*.ico;*.bmp;*.gif;*.jpg;*.jpeg;*.png;*.svg;*.desktop|"
                           "Exe-Files|*.exe|Icon files|*.ico;|Picture Files|*.gif;*.bmp;*.jpg;*.jpeg;*.png;*.svg|"
                           "Desktop entries|*.desktop|All files|*.*"));
        if (path.isEmpty())
            return;
        if (supportedPicture(path)) {
            Text3->setText(path);
            SS.LastPictureFolder = modUtil::FolderOf(path);
            return;
        }
        platform::Services::dialogs().msgBox(QStringLiteral("Format not supported!"), platform::Msg::Exclamation);
    }
}

void frmButton::chooseLink()
{
    const QString path = platform::Services::dialogs().openFile(
        QStringLiteral("Open file-link"), SS.LastFileFolder,
        QStringLiteral("Program files|*|Desktop entries|*.desktop|Shortcuts|*.lnk|All files|*.*"));
    if (path.isEmpty())
        return;
    SS.LastFileFolder = modUtil::FolderOf(path);
    Text2->setText(path);
    if (Text3->text().isEmpty())
        Text3->setText(path);
    if (Text1->text().isEmpty()) {
        const QFileInfo info(path);
        QString caption;
        if (info.suffix().toLower() == QLatin1String("desktop"))
            caption = ButtonPicture::DesktopEntryName(path);
        Text1->setText(caption.isEmpty() ? properCase(info.completeBaseName()) : caption);
    }
    refreshPreview();
}

void frmButton::chooseCommandLineFile()
{
    const QString path = platform::Services::dialogs().openFile(QStringLiteral("Open file for cmd-line"),
                                                                SS.LastFileFolder, QStringLiteral("All files|*.*"));
    if (!path.isEmpty())
        Text4->setText(QLatin1Char('"') + path + QLatin1Char('"'));
}

void frmButton::chooseColor(int index)
{
    QList<QColor> custom;
    for (int i = 0; i < 16; ++i)
        custom << OleColor::toQColor(quint32(SS.CustomColors[i]));
    const std::optional<QColor> chosen =
        platform::Services::dialogs().chooseColor(OleColor::toQColor(Command3[index]->BackColor()), custom);
    for (int i = 0; i < 16 && i < custom.size(); ++i)
        SS.CustomColors[i] = qint32(OleColor::fromQColor(custom.at(i)));
    if (!chosen)
        return;
    Command3[index]->setBackColor(OleColor::fromQColor(*chosen));
    refreshPreview();
}

void frmButton::chooseFont()
{
    if (!FormParts::ChooseSampleFont(Label7))
        return;
    writeFontLabels();
    refreshPreview();
}

void frmButton::setCurrentScreenMode()
{
    const platform::DisplayMode mode = platform::Services::display().current();
    setScreenMode(mode.width, mode.refreshRate, mode.bitsPerPixel);
}

void frmButton::Command7_Click()
{
    BUTTON b = m_record;
    if (m_isNew) {
        b = BUTTON();
        b.EnsureExtraStrings();
    }
    write(b);
    m_result = b;
    done(Accepted);
}

void frmButton::Command6_Click()
{
    m_result.reset();
    done(Rejected);
}

void frmButton::closeEvent(QCloseEvent *event)
{
    const int answer = platform::Services::dialogs().msgBox(QStringLiteral("Skip changes?"),
                                                            platform::Msg::Exclamation | platform::Msg::OKCancel);
    if (answer != platform::Msg::OK) {
        event->ignore();
        return;
    }
    m_result.reset();
    event->accept();
    done(Rejected);
}

std::optional<BUTTON> frmButton::Edit(const std::optional<BUTTON> &record, QWidget *parent)
{
    frmButton dialog(record, parent);
    dialog.setWindowModality(Qt::ApplicationModal);
    platform::Services::windows().setTopMost(&dialog, true);
    // The caller showed the hourglass while the dialog was being made.
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    dialog.exec();
    return dialog.Result();
}
