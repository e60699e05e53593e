#include "stats/rptStat.h"

#include <FormatSeconds.h>

#include <QAction>
#include <QCoreApplication>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSaveFile>
#include <QStringList>
#include <QVersionNumber>

#ifndef BRINDLE_VERSION
#define BRINDLE_VERSION "0.0.0"
#endif

namespace {

// Share of the page width of each column.
const double columnShares[] = {0.24, 0.07, 0.11, 0.20, 0.38};
const char *const headings[] = {"TITLE", "HITS", "TIME", "LAST EXE.", "PATH"};

QStringList cells(const StatsQuery::Row &row)
{
    // Rows that never ended a timed run have no time text yet.
    const QString time = row.timeText.isEmpty() ? FormatSeconds(row.seconds) : row.timeText;
    const QString last = row.lastExecuted.isValid() ? QLocale().toString(row.lastExecuted, QLocale::ShortFormat)
                                                    : QString();
    return {row.caption, QString::number(row.executions), time, last, row.path};
}

} // namespace

rptStat::rptStat(const QSqlDatabase &db, int sortKey, int sortOrder)
    : m_rows(StatsQuery::FetchReport(db, sortKey, sortOrder))
{
}

QString rptStat::Title()
{
    const QVersionNumber version = QVersionNumber::fromString(QLatin1String(BRINDLE_VERSION));
    return QStringLiteral("Brindle Version %1.%2.%3 - Execution Statistics")
        .arg(version.majorVersion())
        .arg(version.minorVersion())
        .arg(version.microVersion());
}

QString rptStat::PdfFileName()
{
    return Title() + QStringLiteral(".pdf");
}

void rptStat::Render(QPagedPaintDevice *device) const
{
    QPainter painter(device);
    if (!painter.isActive())
        return;
    const QRect page = painter.viewport();
    QFont titleFont(QStringLiteral("DejaVu Sans"), 14, QFont::Bold);
    QFont headingFont(QStringLiteral("DejaVu Sans"), 9, QFont::Bold);
    QFont bodyFont(QStringLiteral("DejaVu Sans"), 9);
    painter.setFont(bodyFont);
    const int line = painter.fontMetrics().height() * 13 / 10;
    const int gap = 2 * painter.fontMetrics().averageCharWidth();

    QList<QRect> columns;
    int x = page.left();
    for (double share : columnShares) {
        const int width = int(page.width() * share);
        columns.append(QRect(x, 0, width - gap, line));
        x += width;
    }
    const auto drawRow = [&](const QStringList &texts, int y) {
        for (int c = 0; c < columns.size(); ++c) {
            const QRect cell = columns.at(c).translated(0, y);
            const int align = (c == 1 || c == 2 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
            painter.drawText(cell, align, painter.fontMetrics().elidedText(texts.at(c), Qt::ElideRight, cell.width()));
        }
    };

    int pageNumber = 1;
    int y = page.top();
    const auto startPage = [&]() {
        if (pageNumber == 1) {
            painter.setFont(titleFont);
            const int height = painter.fontMetrics().height() * 2;
            painter.drawText(QRect(page.left(), y, page.width(), height), Qt::AlignLeft | Qt::AlignVCenter, Title());
            y += height;
        }
        painter.setFont(headingFont);
        QStringList texts;
        for (const char *heading : headings)
            texts << QLatin1String(heading);
        drawRow(texts, y);
        y += line;
        painter.drawLine(page.left(), y, page.right(), y);
        y += line / 3;
        painter.setFont(bodyFont);
    };
    const auto footer = [&]() {
        painter.setFont(bodyFont);
        painter.drawText(QRect(page.left(), page.bottom() - line, page.width(), line), Qt::AlignRight,
                         QStringLiteral("Page %1").arg(pageNumber));
    };

    startPage();
    for (const StatsQuery::Row &row : m_rows) {
        if (y + line > page.bottom() - line) {
            footer();
            device->newPage();
            ++pageNumber;
            y = page.top();
            startPage();
        }
        drawRow(cells(row), y);
        y += line;
    }
    footer();
}

void rptStat::ShowPreview(QWidget *parent) const
{
    QPrinter printer(QPrinter::HighResolution);
    // The print dialog offers a PDF named after the document up to its last
    // dot, which would cut the version out of the title: the name has one
    // dot more, so that the whole title stays.
    printer.setDocName(PdfFileName());
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("rptStat"));
    preview.setWindowTitle(Title());
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [this](QPrinter *device) { Render(device); });
    // The preview's own print button would open a print dialog that also
    // prints into a file of the user's choice.
    const QString print = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QAction *action : preview.findChildren<QAction *>()) {
        if (action->text() != print)
            continue;
        QObject::disconnect(action, nullptr, &preview, nullptr);
        QObject::connect(action, &QAction::triggered, &preview, [&preview, &printer] {
            QPrintDialog dialog(&printer, &preview);
            dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
            if (dialog.exec() != QDialog::Accepted)
                return;
            preview.findChild<QPrintPreviewWidget *>()->print();
            preview.accept();
        });
    }
    preview.resize(900, 650);
    preview.exec();
}

bool rptStat::SavePdf(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        {
            QPdfWriter writer(&file);
            writer.setTitle(Title());
            writer.setCreator(QStringLiteral("Brindle"));
            writer.setPageOrientation(QPageLayout::Landscape);
            Render(&writer);
        }
        if (file.commit())
            return true;
    }
    if (error)
        *error = file.errorString();
    return false;
}
