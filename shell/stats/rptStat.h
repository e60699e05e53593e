#pragma once

#include "stats/StatsQuery.h"

#include <QSqlDatabase>
#include <QString>

class QPagedPaintDevice;
class QWidget;

// The printed statistics: a title, the headings "TITLE", "HITS", "TIME",
// "LAST EXE." and "PATH" on every page, and one line per row of TAB_STAT in
// the viewer's sort.
class rptStat
{
public:
    rptStat(const QSqlDatabase &db, int sortKey, int sortOrder);

    // "Brindle Version <major>.<minor>.<revision> - Execution Statistics".
    static QString Title();
    // The name a PDF of the report is offered under: the whole title and ".pdf".
    static QString PdfFileName();
    const QList<StatsQuery::Row> &Rows() const { return m_rows; }

    // Lays the report out on the device's pages.
    void Render(QPagedPaintDevice *device) const;

    // The print preview, from which the parent prints. Its print dialog
    // offers the printers only: a file written from there could be any file.
    void ShowPreview(QWidget *parent) const;
    // The report as a PDF file; a failed write keeps the old file.
    bool SavePdf(const QString &path, QString *error) const;

private:
    QList<StatsQuery::Row> m_rows;
};
