#include "frmPassword.h"

#include "widgets/FormParts.h"
#include "platform/Services.h"

#include <Command.h>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QVBoxLayout>

namespace {
frmPassword *g_current = nullptr;
}

frmPassword::frmPassword(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(QStringLiteral("Brindle - Enter Password"));
    setFont(QFont(QStringLiteral("Tahoma"), 9));
    setAttribute(Qt::WA_DeleteOnClose, false);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(LockPicture(64));
    Picture1->setFixedSize(72, 72);
    Picture1->setAlignment(Qt::AlignCenter);

    Label1 = new QLabel(QStringLiteral("ENTER PASSWORD"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(QFont(QStringLiteral("Tahoma"), 13, QFont::Bold));
    Label1->setStyleSheet(QStringLiteral("color: #1f3f74;"));

    Label2 = FormParts::Label(this, "Label2", QStringLiteral("Password:"));

    Command1 = FormParts::Button(this, "Command1", QStringLiteral("OK"), QSize(104, 38));
    Command1->setButtonType(Command::BType::OkButton);
    connect(Command1, &Command::Click, this, &frmPassword::Command1_Click);
    Text1 = FormParts::MaskedField(this, Label2, Command1);
    setTabOrder(Text1, Command1);

    Command2 = FormParts::Button(this, "Command2", QStringLiteral("Cancel"), QSize(104, 38));
    Command2->setButtonType(Command::BType::CancelButton);
    connect(Command2, &Command::Click, this, &frmPassword::Command2_Click);

    Timer1 = FormParts::FocusTimer(this, Text1);

    auto *fieldRow = new QHBoxLayout;
    fieldRow->setSpacing(8);
    fieldRow->addWidget(Label2);
    fieldRow->addWidget(Text1, 1);

    auto *right = new QVBoxLayout;
    right->setSpacing(10);
    right->addWidget(Label1);
    right->addLayout(fieldRow);
    right->addStretch(1);

    auto *top = new QHBoxLayout;
    top->setSpacing(14);
    top->addWidget(Picture1, 0, Qt::AlignTop);
    top->addLayout(right, 1);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 14);
    layout->setSpacing(10);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    setFixedSize(400, 164);

    g_current = this;
    platform::Services::windows().setTopMost(this, true);
    Timer1->start();
}

frmPassword::~frmPassword()
{
    if (g_current == this)
        g_current = nullptr;
}

frmPassword *frmPassword::Current()
{
    return g_current;
}

std::optional<QString> frmPassword::Ask(const QString &title)
{
    frmPassword dialog;
    if (!title.isEmpty())
        dialog.setWindowTitle(title);
    dialog.exec();
    return dialog.m_answer;
}

void frmPassword::Command1_Click()
{
    m_answer = Text1->text();
    Unload();
}

void frmPassword::Command2_Click()
{
    m_answer.reset();
    Unload();
}

void frmPassword::Unload()
{
    if (m_unloading)
        return;
    m_unloading = true;
    done(m_answer ? QDialog::Accepted : QDialog::Rejected);
}

void frmPassword::reject()
{
    if (!m_unloading)
        Command2_Click();
}

QPixmap frmPassword::LockPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);

    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;

    // Shackle: a steel arch behind the body.
    const qreal shackleWidth = s * 0.11;
    QLinearGradient steel(s * 0.25, 0, s * 0.75, 0);
    steel.setColorAt(0.0, QColor(0x8c, 0x94, 0x9e));
    steel.setColorAt(0.45, QColor(0xe4, 0xe8, 0xec));
    steel.setColorAt(1.0, QColor(0x6c, 0x74, 0x7e));
    QPainterPath arch;
    const qreal left = s * 0.30;
    const qreal right = s * 0.70;
    const qreal bottom = s * 0.50;
    arch.moveTo(left, bottom);
    arch.lineTo(left, s * 0.32);
    arch.arcTo(QRectF(left, s * 0.12, right - left, (right - left)), 180, -180);
    arch.lineTo(right, bottom);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x4a, 0x50, 0x58), shackleWidth + s * 0.03, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(arch);
    p.setPen(QPen(QBrush(steel), shackleWidth, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(arch);

    // Body: a rounded brass block.
    const QRectF body(s * 0.16, s * 0.44, s * 0.68, s * 0.50);
    QLinearGradient brass(0, body.top(), 0, body.bottom());
    brass.setColorAt(0.0, QColor(0xff, 0xd8, 0x5a));
    brass.setColorAt(0.5, QColor(0xf0, 0xb4, 0x28));
    brass.setColorAt(1.0, QColor(0xc2, 0x84, 0x0c));
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x00), qMax(1.0, s * 0.025)));
    p.setBrush(brass);
    p.drawRoundedRect(body, s * 0.08, s * 0.08);

    // A highlight along the top edge of the body.
    p.setPen(QPen(QColor(255, 255, 255, 110), qMax(1.0, s * 0.02)));
    p.drawLine(QPointF(body.left() + s * 0.07, body.top() + s * 0.04),
               QPointF(body.right() - s * 0.07, body.top() + s * 0.04));

    // Keyhole.
    const QPointF key(body.center().x(), body.top() + body.height() * 0.42);
    QPainterPath hole;
    hole.addEllipse(key, s * 0.065, s * 0.065);
    QPolygonF slot;
    slot << QPointF(key.x() - s * 0.03, key.y()) << QPointF(key.x() + s * 0.03, key.y())
         << QPointF(key.x() + s * 0.045, key.y() + s * 0.16) << QPointF(key.x() - s * 0.045, key.y() + s * 0.16);
    hole.addPolygon(slot);
    hole.setFillRule(Qt::WindingFill);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0x2e, 0x00));
    p.drawPath(hole.simplified());
    return pixmap;
}
