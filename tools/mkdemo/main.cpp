// brindle_mkdemo <program folder> <stats schema> <vars.txt>
// Writes the demo menu, its pictures and the statistics database.
#include "DemoArt.h"
#include "DemoMenu.h"

#include "data/SettingsFile.h"
#include "keys/modKeys.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

namespace {

int fail(const QString &message)
{
    QTextStream(stderr) << "brindle_mkdemo: " << message << Qt::endl;
    return 1;
}

QColor fromOle(qint32 ole)
{
    return QColor(ole & 0xFF, (ole >> 8) & 0xFF, (ole >> 16) & 0xFF);
}

bool createStats(const QString &dbPath, const QString &schemaPath, QString *error)
{
    QFile schema(schemaPath);
    if (!schema.open(QIODevice::ReadOnly)) {
        *error = schema.errorString();
        return false;
    }
    QFile::remove(dbPath);
    bool ok = true;
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("mkdemo"));
        db.setDatabaseName(dbPath);
        ok = db.open();
        if (!ok)
            *error = db.lastError().text();
        const QStringList statements = QString::fromUtf8(schema.readAll()).split(QLatin1Char(';'));
        for (const QString &statement : statements) {
            QString sql;
            for (const QString &line : statement.split(QLatin1Char('\n')))
                if (!line.trimmed().startsWith(QLatin1String("--")))
                    sql += line + QLatin1Char('\n');
            if (!ok || sql.trimmed().isEmpty())
                continue;
            QSqlQuery query(db);
            if (!query.exec(sql)) {
                *error = query.lastError().text();
                ok = false;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("mkdemo"));
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return fail(QStringLiteral("usage: brindle_mkdemo <program folder> <schema.sql> <vars.txt>"));
    const QString folder = QDir(args.at(1)).absolutePath() + QLatin1Char('/');
    QDir().mkpath(folder + QStringLiteral("demo"));
    QDir().mkpath(folder + QStringLiteral("data"));
    QDir().mkpath(folder + QStringLiteral("backup"));

    for (const DemoMenu::Picture &picture : DemoMenu::Pictures()) {
        const QImage image = DemoArt::Draw(picture.name, fromOle(picture.backColor), 128);
        if (!image.save(folder + QStringLiteral("demo/") + picture.fileName, "BMP"))
            return fail(QStringLiteral("cannot write picture ") + picture.fileName);
    }
    if (auto error = SettingsFile::SaveFile(folder + QStringLiteral("settings.dat"), DemoMenu::Settings()))
        return fail(QStringLiteral("settings.dat: ") + error->Description);
    QString error;
    if (!SpecialKeysFile::Write(folder + QStringLiteral("spc_keys.dat"), DemoMenu::SpecialKeys(), &error))
        return fail(QStringLiteral("spc_keys.dat: ") + error);
    if (!createStats(folder + QStringLiteral("data/stats.db"), args.at(2), &error))
        return fail(QStringLiteral("stats.db: ") + error);
    QFile::remove(folder + QStringLiteral("vars.txt"));
    if (!QFile::copy(args.at(3), folder + QStringLiteral("vars.txt")))
        return fail(QStringLiteral("cannot copy vars.txt"));
    return 0;
}
