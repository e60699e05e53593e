#pragma once

#include <QString>

// Farrow's command line: host, "|" and password. Anything after a second
// "|" is ignored; a line without "|" is invalid.
struct CommandLine
{
    QString host;
    QString password;
    bool valid = true;

    static CommandLine Split(const QString &line);
};
