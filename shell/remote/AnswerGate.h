#pragma once

#include <QHash>
#include <QHostAddress>

#include <optional>

// Makes guessing the parent password slow across connections. After a wrong
// answer from an address, its next answer is judged only after a wait that
// doubles from 1 s up to 5 minutes (a right answer ends it), and at most one
// answer a second is judged overall. Waits are kept per address, so a
// sibling's guesses do not slow the parent at another computer.
class AnswerGate
{
public:
    // True when an answer from this address may be judged now; it then takes
    // this second's judgement and must be followed by Judged().
    bool Admit(const QHostAddress &from);
    void Judged(const QHostAddress &from, bool right);

    int WrongInARow(const QHostAddress &from) const;
    // Whole seconds until an answer from this address can be judged.
    qint64 SecondsToWait(const QHostAddress &from) const;

    // IPv4 peers of the dual-stack listener in their IPv4 form.
    static QString AddressText(const QHostAddress &address);

private:
    struct Record
    {
        int wrong = 0;
        qint64 untilMs = 0;
    };
    QHash<QString, Record> m_records;
    std::optional<qint64> m_lastJudgedMs;
};
