#include "frmTimeExpired.h"

#include "widgets/FormParts.h"
#include "platform/Services.h"

#include <Command.h>

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTimer>
#include <QVBoxLayout>

namespace {
frmTimeExpired *g_current = nullptr;
}

frmTimeExpired::frmTimeExpired(QWidget *parent, bool atBedtime)
    // No close button: only the password or the shut-down choice ends it.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmTimeExpired"));
    setWindowTitle(QStringLiteral("Time Has Expired!"));
    setFont(QFont(QStringLiteral("Tahoma"), 9));
    setAttribute(Qt::WA_DeleteOnClose, false);

    Label1 = new QLabel(QStringLiteral("TIME HAS EXPIRED"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont heading(QStringLiteral("Tahoma"), 15, QFont::Bold);
    Label1->setFont(heading);
    Label1->setStyleSheet(QStringLiteral("color: #b01c1c;"));

    Label2 = new QLabel(ReasonText(atBedtime), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);

    Label3 = FormParts::Label(this, "Label3", QStringLiteral("Password:"));

    Command2 = FormParts::Button(this, "Command2", QStringLiteral("Reset..."), QSize(104, 30));
    connect(Command2, &Command::Click, this, &frmTimeExpired::Command2_Click);
    Text1 = FormParts::MaskedField(this, Label3, Command2);
    setTabOrder(Text1, Command2);

    Command1 = FormParts::Button(this, "Command1", QStringLiteral("Shutdown"), QSize(150, 54));
    Command1->setPicture(PowerPicture(40));
    Command1->setToolTip(QStringLiteral("Shut down"));
    connect(Command1, &Command::Click, this, &frmTimeExpired::Command1_Click);

    Timer1 = FormParts::FocusTimer(this, Text1);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto *passwordRow = new QHBoxLayout;
    passwordRow->setSpacing(8);
    passwordRow->addWidget(Label3);
    passwordRow->addWidget(Text1, 1);
    passwordRow->addWidget(Command2);

    // The parent's password first, then the minutes.
    m_extra = FormParts::Button(this, "cmdExtra", QStringLiteral("Extra time..."), QSize(120, 30));
    m_extra->setToolTip(QStringLiteral("Type the password, then choose the minutes"));
    connect(m_extra, &Command::Click, this, &frmTimeExpired::showExtraChoices);
    m_choices = new QWidget(this);
    auto *choiceRow = new QHBoxLayout(m_choices);
    choiceRow->setContentsMargins(0, 0, 0, 0);
    for (int minutes : ExtraChoices) {
        const QByteArray name = "cmdExtra" + QByteArray::number(minutes);
        Command *choice = FormParts::Button(m_choices, name.constData(), QStringLiteral("+%1 min").arg(minutes),
                                            QSize(64, 30));
        connect(choice, &Command::Click, this, [this, minutes] { finish({false, Text1->text(), false, minutes}); });
        choiceRow->addWidget(choice);
    }
    m_choices->hide();

    auto *bottomRow = new QHBoxLayout;
    bottomRow->addWidget(m_extra, 0, Qt::AlignBottom);
    bottomRow->addWidget(m_choices, 0, Qt::AlignBottom);
    bottomRow->addStretch(1);
    bottomRow->addWidget(Command1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 14);
    layout->setSpacing(10);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addSpacing(4);
    layout->addLayout(passwordRow);
    layout->addSpacing(4);
    layout->addWidget(line);
    layout->addLayout(bottomRow);
    setFixedSize(560, 232);

    g_current = this;
    platform::Services::windows().setTopMost(this, true);
    Timer1->start();
}

frmTimeExpired::~frmTimeExpired()
{
    if (g_current == this)
        g_current = nullptr;
}

frmTimeExpired *frmTimeExpired::Current()
{
    return g_current;
}

QString frmTimeExpired::ReasonText(bool atBedtime)
{
    return atBedtime ? QStringLiteral("It is past bedtime. See you tomorrow!")
                     : QStringLiteral("The time has expired, please enter password to reset, or click shutdown.");
}

std::optional<Prompts::ExpiredAnswer> frmTimeExpired::Ask(bool atBedtime)
{
    frmTimeExpired dialog(nullptr, atBedtime);
    dialog.exec();
    return dialog.m_answer;
}

void frmTimeExpired::Command2_Click()
{
    finish({false, Text1->text()});
}

void frmTimeExpired::Command1_Click()
{
    finish({true, QString()});
}

void frmTimeExpired::showExtraChoices()
{
    m_extra->hide();
    m_choices->show();
}

void frmTimeExpired::ReleaseByParent()
{
    finish({false, QString(), true});
}

void frmTimeExpired::finish(const Prompts::ExpiredAnswer &answer)
{
    if (m_unloading)
        return;
    m_answer = answer;
    Unload();
}

void frmTimeExpired::Unload()
{
    if (m_unloading)
        return;
    m_unloading = true;
    done(QDialog::Accepted);
}

void frmTimeExpired::reject()
{
}

void frmTimeExpired::closeEvent(QCloseEvent *event)
{
    if (m_unloading)
        event->accept();
    else
        event->ignore();
}

QPixmap frmTimeExpired::PowerPicture(int size)
{
    // Plain pixels: the button lays its picture out by pixel size.
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);

    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QRectF disc(s * 0.04, s * 0.04, s * 0.92, s * 0.92);

    QRadialGradient fill(disc.center() - QPointF(s * 0.16, s * 0.2), s * 0.62);
    fill.setColorAt(0.0, QColor(0xf2, 0x6b, 0x5b));
    fill.setColorAt(0.55, QColor(0xd3, 0x2f, 0x2f));
    fill.setColorAt(1.0, QColor(0x9a, 0x14, 0x14));
    p.setPen(QPen(QColor(0x7a, 0x0e, 0x0e), qMax(1.0, s * 0.03)));
    p.setBrush(fill);
    p.drawEllipse(disc);

    // A soft gloss on the upper half.
    QPainterPath gloss;
    gloss.addEllipse(QRectF(s * 0.2, s * 0.1, s * 0.6, s * 0.34));
    QLinearGradient shine(0, s * 0.1, 0, s * 0.44);
    shine.setColorAt(0.0, QColor(255, 255, 255, 120));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawPath(gloss);

    // The power symbol: an open ring with a bar through its gap.
    const QPointF c = disc.center() + QPointF(0, s * 0.02);
    const qreal r = s * 0.22;
    QPen symbol(Qt::white, s * 0.085, Qt::SolidLine, Qt::RoundCap);
    p.setPen(symbol);
    p.setBrush(Qt::NoBrush);
    const QRectF ring(c.x() - r, c.y() - r, 2 * r, 2 * r);
    p.drawArc(ring, (90 + 38) * 16, (360 - 76) * 16);
    p.drawLine(QPointF(c.x(), c.y() - r - s * 0.07), QPointF(c.x(), c.y() - s * 0.03));
    return pixmap;
}
