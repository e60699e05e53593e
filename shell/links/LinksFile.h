#pragma once

#include <QList>
#include <QString>

// The child browser's approved links, "links.ini" in the browser's folder:
// one section per link, LINK_000, LINK_001, ... numbered without gaps, each
// with the keys "NAME" and "URL". The list ends at the first section without
// a name.
struct ChildLink
{
    QString name;
    QString url;

    bool operator==(const ChildLink &) const = default;
};

namespace LinksFile {

// AppPath + "wicket/links.ini".
QString DefaultPath();

// A missing or unreadable file gives an empty list.
QList<ChildLink> Load(const QString &path);
// Replaces the file as a whole with the links numbered from 0. False (with
// the reason) when it could not be written; the old file then stays.
bool Save(const QString &path, const QList<ChildLink> &links, QString *error = nullptr);

// The address as it is stored: trimmed, and "http://" put in front of one
// that names no scheme of its own ("https://", "ftp://", "mailto:" and the
// like stay as typed; "localhost:8080" has a port, not a scheme).
QString CompleteUrl(const QString &typed);

} // namespace LinksFile
