#include "settings/ScheduleTab.h"

#include "playtime/DayRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

constexpr int MaxSteps = 24 * 60 / 5;
// The two list entries before the minutes.
constexpr int AsEveryDay = 0;
constexpr int NoLimit = 1;

QTimeEdit *timeEdit(QWidget *parent, const QString &name)
{
    auto *edit = new QTimeEdit(parent);
    edit->setObjectName(name);
    edit->setDisplayFormat(QStringLiteral("HH:mm"));
    return edit;
}

QString hhmm(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm"));
}

} // namespace

QStringList ScheduleTab::LimitItems()
{
    QStringList items{QStringLiteral("As every day"), QStringLiteral("No limit")};
    for (int step = 1; step <= MaxSteps; ++step)
        items << QStringLiteral("%1 Minutes").arg(step * 5);
    return items;
}

ScheduleTab::ScheduleTab(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ScheduleTab"));
    m_dailyOn = new QCheckBox(QStringLiteral("A new play period begins every day at"), this);
    m_dailyOn->setObjectName(QStringLiteral("chkDailyStart"));
    m_dailyStart = timeEdit(this, QStringLiteral("txtDailyStart"));
    auto *daily = new QHBoxLayout;
    daily->addWidget(m_dailyOn);
    daily->addWidget(m_dailyStart);
    daily->addStretch();
    auto *dailyBox = new QGroupBox(QStringLiteral("Daily start"), this);
    dailyBox->setLayout(daily);

    auto *days = new QGridLayout;
    days->addWidget(new QLabel(QStringLiteral("Play time"), this), 0, 1);
    days->addWidget(new QLabel(QStringLiteral("Allowed hours"), this), 0, 2, 1, 4);
    const QStringList limits = LimitItems();
    for (int d = 0; d < 7; ++d) {
        const QString day = DayRules::LimitKey(Qt::Monday + d).mid(8); // "Mon"
        days->addWidget(new QLabel(QLocale::c().dayName(Qt::Monday + d), this), d + 1, 0);
        m_limit[d] = new QComboBox(this);
        m_limit[d]->setObjectName(QStringLiteral("cmbLimit") + day);
        m_limit[d]->addItems(limits);
        m_limit[d]->setMaxVisibleItems(15);
        days->addWidget(m_limit[d], d + 1, 1);
        m_hoursOn[d] = new QCheckBox(QStringLiteral("only from"), this);
        m_hoursOn[d]->setObjectName(QStringLiteral("chkHours") + day);
        m_from[d] = timeEdit(this, QStringLiteral("txtFrom") + day);
        m_to[d] = timeEdit(this, QStringLiteral("txtTo") + day);
        days->addWidget(m_hoursOn[d], d + 1, 2);
        days->addWidget(m_from[d], d + 1, 3);
        days->addWidget(new QLabel(QStringLiteral("to"), this), d + 1, 4);
        days->addWidget(m_to[d], d + 1, 5);
        connect(m_hoursOn[d], &QCheckBox::toggled, this, &ScheduleTab::enableRows);
    }
    days->setColumnStretch(6, 1);
    auto *daysBox = new QGroupBox(QStringLiteral("Each weekday"), this);
    daysBox->setLayout(days);
    connect(m_dailyOn, &QCheckBox::toggled, this, &ScheduleTab::enableRows);

    auto *note = new QLabel(QStringLiteral("\"As every day\" uses the Max Playtime of the Special Options tab. "
                                           "Outside the allowed hours the time is up (bedtime); an end at "
                                           "00:00 means midnight."),
                            this);
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("color: palette(dark);"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(dailyBox);
    layout->addWidget(daysBox);
    layout->addWidget(note);
    layout->addStretch();
    enableRows();
}

void ScheduleTab::enableRows()
{
    m_dailyStart->setEnabled(m_dailyOn->isChecked());
    for (int d = 0; d < 7; ++d) {
        m_from[d]->setEnabled(m_hoursOn[d]->isChecked());
        m_to[d]->setEnabled(m_hoursOn[d]->isChecked());
    }
}

void ScheduleTab::Fill(const SettingsValues &values)
{
    const std::optional<int> start = DayRules::ParseTime(values.dailyStart);
    m_dailyOn->setChecked(start.has_value());
    m_dailyStart->setTime(QTime(0, 0).addSecs(start.value_or(7 * 60) * 60));
    for (int d = 0; d < 7; ++d) {
        const std::optional<int> steps = DayRules::ParseSteps(values.dayLimits[d]);
        m_limit[d]->setCurrentIndex(!steps ? AsEveryDay : *steps == 0 ? NoLimit : NoLimit + *steps);
        const std::optional<DayRules::Hours> hours = DayRules::ParseHours(values.dayHours[d]);
        m_hoursOn[d]->setChecked(hours.has_value());
        const DayRules::Hours shown = hours.value_or(DayRules::Hours{8 * 60, 20 * 60});
        m_from[d]->setTime(QTime(0, 0).addSecs(shown.startMinute * 60));
        m_to[d]->setTime(QTime(0, 0).addSecs((shown.endMinute % (24 * 60)) * 60));
    }
    enableRows();
}

// "" for the whole day; an end at 00:00 is midnight.
QString ScheduleTab::hoursOf(int day) const
{
    if (!m_hoursOn[day]->isChecked())
        return QString();
    const QString to = m_to[day]->time() == QTime(0, 0) ? QStringLiteral("24:00") : hhmm(m_to[day]->time());
    return hhmm(m_from[day]->time()) + QLatin1Char('-') + to;
}

void ScheduleTab::Collect(SettingsValues &values) const
{
    values.dailyStart = m_dailyOn->isChecked() ? hhmm(m_dailyStart->time()) : QString();
    for (int d = 0; d < 7; ++d) {
        const int index = m_limit[d]->currentIndex();
        values.dayLimits[d] = index == AsEveryDay ? QString() : QString::number(index - NoLimit);
        const std::optional<DayRules::Hours> hours = DayRules::ParseHours(hoursOf(d));
        values.dayHours[d] = hours ? hours->text() : QString();
    }
}

QString ScheduleTab::InvalidDay() const
{
    for (int d = 0; d < 7; ++d) {
        if (m_hoursOn[d]->isChecked() && !DayRules::ParseHours(hoursOf(d)))
            return QLocale::c().dayName(Qt::Monday + d);
    }
    return QString();
}
