#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// The web addresses the child's browser has shown, newest first and each only
// once, kept for the links editor's address completion. The file holds one
// address per line in UTF-8; a missing or unreadable file is an empty history.
// Every change re-reads the file first, because several browser windows of
// different processes may add to it.
class BrowserHistory
{
public:
    static constexpr int MaxEntries = 500;

    // $XDG_DATA_HOME/Brindle/wicket-history.txt (~/.local/share when unset).
    static QString defaultPath();

    explicit BrowserHistory(const QString &path = defaultPath());

    QStringList addresses() const;

    // Puts an http or https address first; other addresses are not kept.
    // False when not kept; error (when given) says why the file could not
    // be written, and stays empty for an address that is not kept.
    bool add(const QUrl &address, QString *error = nullptr);

private:
    QString m_path;
};
