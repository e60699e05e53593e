#include "StatusBar.h"

#include "CaptionVariables.h"
#include "StatusPanel.h"
#include "SystemSource.h"
#include "programs/frmTasks.h"
#include "widgets/LineGraph.h"

#include <Clock.h>
#include <Command.h>
#include <OleColor.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QSet>

namespace {

QLabel *makeLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

void setBackColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

StatusBar::StatusBar(SystemSource &system, QWidget *form)
    : QWidget(form)
    , m_system(system)
{
    setObjectName(QStringLiteral("StatusBar"));
    QFont barFont = font();
    barFont.setBold(true);
    setFont(barFont);

    m_picClock = new StatusPanel("picClock", this);
    m_picMemProc = new StatusPanel("picMemProc", this);
    m_picInfo = new QWidget(this);
    m_picInfo->setObjectName(QStringLiteral("picInfo"));
    m_lbCpuUsage = makeLabel("lbCpuUsage", tr("CPU"), m_picInfo);
    m_cpu = new LineGraph(m_picInfo);
    m_cpu->setObjectName(QStringLiteral("CPU"));
    m_lbApps = makeLabel("lbApps", QStringLiteral("(00 Apps.)"), m_picInfo);
    m_proc = new Command(m_picInfo);
    m_proc->setObjectName(QStringLiteral("Proc"));
    m_proc->setCaption(tr("Programs"));
    m_proc->setFont(barFont);
    m_proc->setFocusPolicy(Qt::NoFocus);
    connect(m_proc, &Command::Click, this, &StatusBar::ProcClick);
    // The open windows, counted here; never shown.
    m_lstTasks = new QListWidget(this);
    m_lstTasks->setObjectName(QStringLiteral("lstTasks"));
    m_lstTasks->hide();

    const QFontMetrics metrics(barFont);
    m_picClock->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("Mmm 00, 0000 00:00:00")) + 24);
    m_picMemProc->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("MEMORY LOAD  : 100 %")) + 40);
    m_cpu->setFixedWidth(8 * metrics.horizontalAdvance(QLatin1Char('0')) + 40);
    m_proc->setFixedWidth(metrics.horizontalAdvance(m_proc->Caption()) + 24);

    auto *info = new QHBoxLayout(m_picInfo);
    info->setContentsMargins(8, 0, 0, 0);
    info->setSpacing(6);
    info->addWidget(m_lbCpuUsage);
    info->addWidget(m_cpu);
    info->addSpacing(6);
    info->addWidget(m_lbApps);
    info->addWidget(m_proc);
    auto *bar = new QHBoxLayout(this);
    bar->setContentsMargins(3, 3, 3, 3);
    bar->setSpacing(3);
    bar->addWidget(m_picClock);
    bar->addWidget(m_picMemProc);
    bar->addStretch(1);
    bar->addWidget(m_picInfo);
}

void StatusBar::ApplySettings(const SettingsRecord &settings)
{
    const QColor back = OleColor::toQColor(quint32(settings.StatusBackColor));
    const QColor text = OleColor::toQColor(quint32(settings.StatusTextColor));
    for (QWidget *widget : {static_cast<QWidget *>(this), m_picInfo})
        setBackColor(widget, back);
    m_picClock->setColors(back, text);
    m_picMemProc->setColors(back, text);
    setTextColor(m_lbCpuUsage, text);
    setTextColor(m_lbApps, text);
    setVisible(settings.ShowStatusBar != 0);
    m_proc->setBackColor(quint32(settings.StatusBackColor));
    m_proc->setForeColor(quint32(settings.StatusTextColor));
    m_proc->setVisible(settings.ShowActiveApps != 0);
    m_cpu->setBackColor(back);
    m_cpu->setLineColor(text);
}

void StatusBar::PlaceIn(const QRect &area)
{
    const int height = qMax(30, fontMetrics().height() * 2);
    setGeometry(area.left(), area.bottom() + 1 - height, area.width(), height);
    raise();
}

QString StatusBar::ClockText(const QDateTime &time, const QString &separator)
{
    return CaptionVariables::ProperCase(QLocale().toString(time, QStringLiteral("MMM dd, yyyy HH:mm"))) + separator
        + time.toString(QStringLiteral("ss"));
}

// The listed windows less the shell's own: the menu is no application the
// child opened.
int StatusBar::openApplications() const
{
    QSet<quint64> own;
    for (const QWidget *window : QApplication::topLevelWidgets())
        if (window->testAttribute(Qt::WA_WState_Created))
            own.insert(quint64(window->winId()));
    int count = 0;
    for (int i = 0; i < m_lstTasks->count(); ++i)
        count += !own.contains(m_lstTasks->item(i)->data(Qt::UserRole).value<quint64>());
    return count;
}

void StatusBar::ClockTimer_Timer(qint32 processorLoad)
{
    // Nothing to show while the bar is hidden.
    if (isHidden())
        return;
    m_separator = m_separator == QLatin1String(":") ? QStringLiteral(".") : QStringLiteral(":");
    m_picClock->Print(ClockText(Clock::now(), m_separator));
    // The rest once a second.
    const bool secondTick = m_secondTick;
    m_secondTick = !m_secondTick;
    if (!secondTick)
        return;

    FillTaskList(m_lstTasks);
    m_lbApps->setText(QStringLiteral("(%1 Apps.)").arg(openApplications(), 2, 10, QLatin1Char('0')));
    const int load = m_system.MemoryLoad();
    const QString shown = load < 0 ? QStringLiteral("--") : QStringLiteral("%1").arg(load, 2, 10, QLatin1Char('0'));
    m_picMemProc->Print(QStringLiteral("MEMORY LOAD  : %1 %").arg(shown).toUpper(), qMax(load, 0));
    m_cpu->AddValue(qMax(processorLoad, 0));
}
