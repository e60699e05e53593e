#include "stats/frmStats.h"

#include "base/Prompts.h"
#include "base/modGlobals.h"
#include "platform/Services.h"
#include "stats/StatsListModel.h"
#include "stats/rptStat.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTreeView>
#include <QVBoxLayout>

using modGlobals::SS;

frmStats::frmStats(const QSqlDatabase &db, Prompts &prompts, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
    , m_prompts(prompts)
{
    setObjectName(QStringLiteral("frmStats"));
    setWindowTitle(QStringLiteral("Application Statistics"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *bar = new QMenuBar(this);
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    mnuPrint = file->addAction(QStringLiteral("Print..."));
    mnuPrint->setObjectName(QStringLiteral("mnuPrint"));
    mnuSavePDF = file->addAction(QStringLiteral("Save as PDF..."));
    mnuSavePDF->setObjectName(QStringLiteral("mnuSavePDF"));
    mnuClear = file->addAction(QStringLiteral("Clear list.."));
    mnuClear->setObjectName(QStringLiteral("mnuClear"));
    file->addSeparator();
    mnuExit = file->addAction(QStringLiteral("Exit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(mnuPrint, &QAction::triggered, this, &frmStats::mnuPrint_Click);
    connect(mnuSavePDF, &QAction::triggered, this, &frmStats::mnuSavePDF_Click);
    connect(mnuClear, &QAction::triggered, this, &frmStats::mnuClear_Click);
    connect(mnuExit, &QAction::triggered, this, &frmStats::mnuExit_Click);

    Model = new StatsListModel(this);
    ListView1 = new QTreeView(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setModel(Model);
    QHeaderView *header = ListView1->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setStretchLastSection(false);
    connect(header, &QHeaderView::sectionClicked, this, &frmStats::ListView1_ColumnClick);
    // The list's own size, which the layout gives it only once the dialog is
    // shown and again whenever it changes (a scroll bar coming counts too).
    ListView1->viewport()->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(ListView1);
    resize(760, 420);

    showSortIcon();
    FillStats();
}

void frmStats::FillStats()
{
    Model->setRows(StatsQuery::Fetch(m_db, SS.StatsSortKey, SS.StatsSortOrder));
}

void frmStats::showSortIcon()
{
    const bool sorted = SS.StatsSortKey >= 0 && SS.StatsSortKey <= 4;
    ListView1->header()->setSortIndicator(sorted ? SS.StatsSortKey : -1,
                                          SS.StatsSortOrder == 1 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void frmStats::ListView1_ColumnClick(int column)
{
    if (column == SS.StatsSortKey)
        SS.StatsSortOrder = SS.StatsSortOrder == 1 ? 0 : 1;
    else
        SS.StatsSortKey = column;
    showSortIcon();
    FillStats();
}

void frmStats::mnuClear_Click()
{
    if (!PasswordOK(m_prompts, QString(), false))
        return;
    if (platform::Services::dialogs().msgBox(QStringLiteral("Clear list?"),
                                             platform::Msg::Exclamation | platform::Msg::OKCancel)
        != platform::Msg::OK)
        return;
    StatsQuery::Clear(m_db);
    FillStats();
}

void frmStats::mnuPrint_Click()
{
    if (!PasswordOK(m_prompts, QString(), false))
        return;
    rptStat(m_db, SS.StatsSortKey, SS.StatsSortOrder).ShowPreview(this);
}

void frmStats::mnuSavePDF_Click()
{
    if (!PasswordOK(m_prompts, QString(), false))
        return;
    auto &dialogs = platform::Services::dialogs();
    QString path = dialogs.saveFile(
        QStringLiteral("Save as PDF"),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/statistics.pdf"),
        QStringLiteral("PDF files|*.pdf"));
    if (path.isEmpty())
        return;
    // Never over a file of another kind, such as the shell's own.
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QLatin1String(".pdf");
    QString error;
    if (!rptStat(m_db, SS.StatsSortKey, SS.StatsSortOrder).SavePdf(path, &error))
        dialogs.msgBox(QStringLiteral("The report could not be saved as ") + path + QStringLiteral("\r\n\r\n") + error,
                       platform::Msg::Critical);
}

void frmStats::mnuExit_Click()
{
    done(Accepted);
}

bool frmStats::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListView1->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    return QDialog::eventFilter(watched, event);
}

void frmStats::fitColumns()
{
    const int width = ListView1->viewport()->width() / 5;
    for (int c = 0; c < 5; ++c)
        ListView1->header()->resizeSection(c, width);
}

void frmStats::ShowModal(const QSqlDatabase &db, Prompts &prompts, QWidget *parent)
{
    frmStats dialog(db, prompts, parent);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    dialog.exec();
}
