#include "widgets/FormParts.h"

#include "base/modGlobals.h"
#include "platform/Services.h"

#include <Command.h>
#include <OleColor.h>

#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <cstdlib>

namespace FormParts {

QLabel *Label(QDialog *dialog, const char *name, const QString &text)
{
    auto *label = new QLabel(text, dialog);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLineEdit *MaskedField(QDialog *dialog, QLabel *label, Command *confirm)
{
    auto *field = new QLineEdit(dialog);
    field->setObjectName(QStringLiteral("Text1"));
    field->setEchoMode(QLineEdit::Password);
    field->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // '*'
    field->setMinimumHeight(26);
    // Enter in the field confirms, as people expect of a password prompt.
    QObject::connect(field, &QLineEdit::returnPressed, confirm, &Command::Click);
    label->setBuddy(field);
    return field;
}

Command *Button(QWidget *parent, const char *name, const QString &caption, const QSize &size)
{
    auto *button = new Command(parent);
    button->setObjectName(QLatin1String(name));
    button->setCaption(caption);
    button->setFixedSize(size);
    return button;
}

QTimer *FocusTimer(QDialog *dialog, QLineEdit *field)
{
    auto *timer = new QTimer(dialog);
    timer->setObjectName(QStringLiteral("Timer1"));
    timer->setInterval(10);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, dialog, [dialog, field] {
        dialog->activateWindow();
        field->setFocus(Qt::OtherFocusReason);
    });
    return timer;
}

bool ChooseSampleFont(QLabel *sample)
{
    const std::optional<QFont> chosen = platform::Services::dialogs().chooseFont(sample->font());
    if (!chosen)
        return false;
    QFont font = sample->font();
    font.setFamily(chosen->family());
    font.setPointSizeF(chosen->pointSizeF());
    font.setBold(chosen->bold());
    font.setItalic(chosen->italic());
    sample->setFont(font);
    return true;
}

void WriteFontLabels(const QLabel *sample, QLabel *const labels[4])
{
    const auto truth = [](bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); };
    const QFont font = sample->font();
    labels[0]->setText(QStringLiteral("Name: ") + font.family());
    labels[1]->setText(QStringLiteral("Size: ") + QString::number(font.pointSizeF()));
    labels[2]->setText(QStringLiteral("Bold: ") + truth(font.bold()));
    labels[3]->setText(QStringLiteral("Italic: ") + truth(font.italic()));
}

QColor Over(const QColor &top, const QColor &under)
{
    const double a = top.alphaF();
    const auto mix = [a](int t, int u) { return qRound(t * a + u * (1 - a)); };
    return QColor(mix(top.red(), under.red()), mix(top.green(), under.green()), mix(top.blue(), under.blue()));
}

Colours MenuColours()
{
    const QColor back = OleColor::toQColor(quint32(modGlobals::SS.ScreenBackColor));
    QColor text = OleColor::toQColor(quint32(modGlobals::SS.ScreenTextColor));
    if (std::abs(text.lightness() - back.lightness()) < 100)
        text = back.lightness() > 128 ? QColor(Qt::black) : QColor(Qt::white);
    return {back, text};
}

} // namespace FormParts
