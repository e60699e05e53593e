#include "AnswerGate.h"

#include "Clock.h"

#include <algorithm>

namespace {

constexpr qint64 FirstWaitMs = 1000;
constexpr qint64 LongestWaitMs = 5 * 60 * 1000;
constexpr qint64 JudgedEveryMs = 1000;
// Addresses remembered; one more pushes out the one whose wait ends first.
// Judgements come at most once a second, so this holds the last 17 minutes.
constexpr qsizetype MaxRecords = 1024;

} // namespace

QString AnswerGate::AddressText(const QHostAddress &address)
{
    bool v4 = false;
    const quint32 ip = address.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip).toString() : address.toString();
}

bool AnswerGate::Admit(const QHostAddress &from)
{
    const qint64 now = Clock::steadyMs();
    if (m_lastJudgedMs && now - *m_lastJudgedMs < JudgedEveryMs)
        return false;
    const auto record = m_records.constFind(AddressText(from));
    if (record != m_records.cend() && now < record->untilMs)
        return false;
    m_lastJudgedMs = now;
    return true;
}

void AnswerGate::Judged(const QHostAddress &from, bool right)
{
    const QString key = AddressText(from);
    if (right) {
        m_records.remove(key);
        return;
    }
    if (!m_records.contains(key) && m_records.size() >= MaxRecords) {
        const auto first = std::min_element(m_records.begin(), m_records.end(),
                                            [](const Record &a, const Record &b) { return a.untilMs < b.untilMs; });
        m_records.erase(first);
    }
    Record &record = m_records[key];
    ++record.wrong;
    const qint64 wait = std::min(LongestWaitMs, FirstWaitMs << std::min(record.wrong - 1, 20));
    record.untilMs = Clock::steadyMs() + wait;
}

int AnswerGate::WrongInARow(const QHostAddress &from) const
{
    return m_records.value(AddressText(from)).wrong;
}

qint64 AnswerGate::SecondsToWait(const QHostAddress &from) const
{
    const qint64 now = Clock::steadyMs();
    const qint64 next = std::max(m_records.value(AddressText(from)).untilMs,
                                 m_lastJudgedMs ? *m_lastJudgedMs + JudgedEveryMs : 0);
    return next <= now ? 0 : (next - now + 999) / 1000;
}
