#include "frmPresets.h"

#include "Presets.h"
#include "widgets/FormParts.h"
#include "platform/Services.h"

#include <Command.h>
#include <OleColor.h>
#include <VbNumber.h>

#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The sample picture of the preview: a little landscape.
QPixmap samplePicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(120, 180, 240));
    painter.drawRoundedRect(QRectF(0, 0, size, size), size / 8.0, size / 8.0);
    painter.setBrush(QColor(250, 210, 60));
    painter.drawEllipse(QRectF(size * 0.55, size * 0.15, size * 0.25, size * 0.25));
    painter.setBrush(QColor(70, 150, 70));
    painter.drawEllipse(QRectF(-size * 0.3, size * 0.55, size * 1.6, size));
    return pixmap;
}

QLabel *hiddenPicture(QWidget *parent, const char *name, int size)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setPixmap(samplePicture(size));
    label->hide();
    return label;
}

} // namespace

frmPresets::frmPresets(const Prompts::PresetList &presets, QWidget *parent)
    : QDialog(parent)
{
    presets.StoreIn(m_work);
    setObjectName(QStringLiteral("frmPresets"));
    setWindowTitle(QStringLiteral("Button Presets"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *label = new QLabel(QStringLiteral("Presets:"), this);
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setMinimumWidth(180);
    label->setBuddy(List1);

    auto *preview = new QGroupBox(QStringLiteral("Preview"), this);
    // Room for a big menu button; a bigger one shows its top-left part.
    auto *stage = new QWidget(preview);
    stage->setFixedSize(380, 210);
    auto *previewLayout = new QVBoxLayout(preview);
    previewLayout->addWidget(stage);
    Command2 = new Command(stage);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setCaption(QStringLiteral("Preview Button"));
    picBig = hiddenPicture(preview, "picBig", 32);
    picSmall = hiddenPicture(preview, "picSmall", 16);

    Command4 = FormParts::Button(this, "Command4", QStringLiteral("Rename..."), QSize(90, 28));
    Command1 = FormParts::Button(this, "Command1", QStringLiteral("Delete..."), QSize(90, 28));
    Command3 = FormParts::Button(this, "Command3", QStringLiteral("Close"), QSize(90, 28));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Command4);
    buttons->addWidget(Command1);
    buttons->addStretch();
    buttons->addWidget(Command3);

    auto *left = new QVBoxLayout;
    left->addWidget(label);
    left->addWidget(List1);
    auto *top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(preview, 0, Qt::AlignTop);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    connect(List1, &QListWidget::currentRowChanged, this, &frmPresets::showPreset);
    connect(Command4, &Command::Click, this, &frmPresets::Command4_Click);
    connect(Command1, &Command::Click, this, &frmPresets::Command1_Click);
    connect(Command3, &Command::Click, this, &QDialog::accept);

    fillList();
    if (List1->count() > 0)
        List1->setCurrentRow(0);
    else
        Command2->hide();
}

void frmPresets::fillList()
{
    const QSignalBlocker quiet(List1);
    List1->clear();
    List1->addItems(Presets::Names(m_work));
}

void frmPresets::showPreset(int index)
{
    if (index < 0 || index > m_work.PresetsMax || !m_work.Presets.has(index))
        return;
    const BUTTON &p = m_work.Presets.at(index);
    Command *c = Command2;
    c->LockUpdate(true);
    c->setBackColor(quint32(p.BackColor));
    QFont font = c->font();
    if (!p.FontName.isEmpty())
        font.setFamily(p.FontName);
    if (p.FontSize > 0 && p.FontSize < 2048)
        font.setPointSizeF(p.FontSize);
    font.setBold(p.FontBold != 0);
    font.setItalic(p.FontItalic != 0);
    c->setFont(font);
    c->setForeColor(quint32(p.ForeColor));
    c->resize(std::max(0, p.Width), std::max(0, p.Height));
    if (p.PictureAlignment >= 0 && p.PictureAlignment <= 2)
        c->setPictureAlignment(Command::pAlignments(p.PictureAlignment));
    if (p.TextAlignment >= 0 && p.TextAlignment <= 2)
        c->setTextAlignment(Command::tAlignments(p.TextAlignment));
    const VbList<QString> &extra = p.ExtraStrings;
    auto number = [&extra](int i) { return extra.has(i) ? VbNumber::ValInt(extra.at(i)) : 0; };
    c->setMouseOverEffect(extra.has(1) && VbNumber::Val(extra.at(1)) == 1.0);
    c->setMouseClickStyle(Command::ButtonEdgeStyles(number(4)));
    c->setMouseOutStyle(Command::ButtonEdgeStyles(number(3)));
    c->setMouseOverStyle(Command::ButtonEdgeStyles(number(2)));
    c->setPicture((p.PictureSize != 0 ? picSmall : picBig)->pixmap());
    fitCaption();
    c->move(std::max(0, (c->parentWidget()->width() - c->width()) / 2),
            std::max(0, (c->parentWidget()->height() - c->height()) / 2));
    c->show();
    c->LockUpdate(false);
}

// The preview shows its whole caption: a button too small for it grows as far
// as the stage allows, and only then does the font get smaller.
void frmPresets::fitCaption()
{
    Command *c = Command2;
    const auto fits = [c](bool across) {
        const QFontMetrics metrics(c->font());
        const QRect room = c->textRect();
        return across ? metrics.horizontalAdvance(c->Caption()) <= room.width() : metrics.height() <= room.height();
    };
    // The room for the text grows with the button, though not always as fast
    // (a centred picture takes half of it): the smallest size that fits.
    const QSize stage = c->parentWidget()->size();
    for (const bool across : {true, false}) {
        int low = across ? c->width() : c->height();
        int high = across ? stage.width() : stage.height();
        const auto setSize = [c, across](int size) {
            c->resize(across ? QSize(size, c->height()) : QSize(c->width(), size));
        };
        if (fits(across) || low >= high)
            continue;
        setSize(high);
        if (!fits(across))
            continue;
        while (high - low > 1) {
            const int middle = (low + high) / 2;
            setSize(middle);
            (fits(across) ? high : low) = middle;
        }
        setSize(high);
    }
    QFont font = c->font();
    for (int round = 0; round < 100 && !(fits(true) && fits(false)) && font.pointSizeF() > 1; ++round) {
        font.setPointSizeF(std::max(1.0, font.pointSizeF() * 0.95));
        c->setFont(font);
    }
}

void frmPresets::Command4_Click()
{
    const int index = List1->currentRow();
    if (index < 0)
        return;
    auto &dialogs = platform::Services::dialogs();
    QString name = List1->item(index)->text();
    for (;;) {
        name = dialogs.inputBox(QStringLiteral("New name:"), QString(), name);
        if (name.isEmpty())
            return;
        if (!Presets::NameTaken(m_work, name, index))
            break;
        dialogs.msgBox(QStringLiteral("You already have a preset with this name!"), platform::Msg::Exclamation);
    }
    Presets::Rename(m_work, index, name);
    List1->item(index)->setText(name);
}

void frmPresets::Command1_Click()
{
    auto &dialogs = platform::Services::dialogs();
    const int index = List1->currentRow();
    if (index < 0) {
        dialogs.msgBox(QStringLiteral("Please select a preset first!"), platform::Msg::Exclamation);
        return;
    }
    const QString question = QStringLiteral("Delete Preset \"") + List1->item(index)->text() + QStringLiteral("\"?");
    if (dialogs.msgBox(question, platform::Msg::Exclamation | platform::Msg::OKCancel) != platform::Msg::OK)
        return;
    Presets::Remove(m_work, index);
    fillList();
}

std::optional<Prompts::PresetList> frmPresets::Edit(const Prompts::PresetList &presets, QWidget *parent)
{
    frmPresets form(presets, parent);
    form.setWindowModality(Qt::ApplicationModal);
    platform::Services::windows().setTopMost(&form, true);
    form.exec();
    if (form.Presets() == presets)
        return std::nullopt;
    return form.Presets();
}
