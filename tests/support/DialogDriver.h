#pragma once

#include "playtime/frmPassword.h"
#include "playtime/frmTimeExpired.h"

#include <Command.h>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>

// Answers frmTimeExpired and frmPassword as a person would, one scripted step
// per shown dialog:
//   "enter:TEXT"  types TEXT into Text1 and presses Enter
//   "reset:TEXT"  types TEXT and clicks "Reset..." (frmTimeExpired)
//   "ok:TEXT"     types TEXT and clicks "OK" (frmPassword)
//   "shutdown"    clicks the shut-down button (frmTimeExpired)
//   "cancel"      clicks "Cancel" (frmPassword)
//   "escape"      presses Escape in Text1 (frmPassword)
//   "quit"        ends the dialog's event loop without an answer, as a quit
//                 of the shell (log-out) does while it is up
// A dialog that appears after the script has run out is closed the way that
// ends every loop, and counted as unexpected; so is one that is still up a
// second after its answer, so that a broken dialog fails instead of hanging.
class DialogDriver : public QObject
{
public:
    explicit DialogDriver(QStringList steps)
        : m_steps(std::move(steps))
    {
        m_timer.setInterval(2);
        connect(&m_timer, &QTimer::timeout, this, &DialogDriver::poll);
        m_timer.start();
    }

    int shown = 0;
    int unexpected = 0;
    QStringList titles;       // window title of every dialog shown
    QStringList textAtShow;   // what Text1 held when it appeared

private:
    void poll()
    {
        if (m_pending && m_answeredAt.elapsed() > 1000) {
            ++unexpected;
            QDialog *stuck = m_pending;
            m_pending = nullptr;
            if (auto *d = qobject_cast<frmTimeExpired *>(stuck))
                d->Command1_Click();
            else if (auto *p = qobject_cast<frmPassword *>(stuck))
                p->Command2_Click();
        }
        if (m_pending && !m_pending->isVisible())
            m_pending = nullptr;
        if (frmTimeExpired *d = frmTimeExpired::Current(); d && d->isVisible() && !d->property("answered").toBool()) {
            d->setProperty("answered", true);
            record(d, d->Text1);
            answer(d, d->Text1, d->Command2, d->Command1, QStringLiteral("shutdown"));
            watch(d);
        }
        if (frmPassword *d = frmPassword::Current(); d && d->isVisible() && !d->property("answered").toBool()) {
            d->setProperty("answered", true);
            record(d, d->Text1);
            answer(d, d->Text1, d->Command1, d->Command2, QStringLiteral("cancel"));
            watch(d);
        }
    }

    void watch(QDialog *dialog)
    {
        if (!dialog->isVisible())
            return;
        m_pending = dialog;
        m_answeredAt.start();
    }

    void record(QWidget *dialog, QLineEdit *text)
    {
        ++shown;
        titles << dialog->windowTitle();
        textAtShow << text->text();
    }

    // confirm: "Reset..." or "OK"; other: shut down or Cancel.
    void answer(QDialog *dialog, QLineEdit *text, Command *confirm, Command *other, const QString &fallback)
    {
        QString step = fallback;
        if (m_steps.isEmpty())
            ++unexpected;
        else
            step = m_steps.takeFirst();
        const QString verb = step.section(QLatin1Char(':'), 0, 0);
        const QString typed = step.section(QLatin1Char(':'), 1);
        if (verb == QLatin1String("quit")) {
            dialog->QDialog::done(QDialog::Rejected);
            return;
        }
        if (!typed.isEmpty())
            QTest::keyClicks(text, typed);
        if (verb == QLatin1String("enter"))
            QTest::keyClick(text, Qt::Key_Return);
        else if (verb == QLatin1String("escape"))
            QTest::keyClick(text, Qt::Key_Escape);
        else if (verb == QLatin1String("reset") || verb == QLatin1String("ok"))
            QTest::mouseClick(confirm, Qt::LeftButton, {}, confirm->rect().center());
        else
            QTest::mouseClick(other, Qt::LeftButton, {}, other->rect().center());
    }

    QStringList m_steps;
    QTimer m_timer;
    QPointer<QDialog> m_pending;
    QElapsedTimer m_answeredAt;
};
