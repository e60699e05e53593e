#pragma once

#include <QString>

#include <exception>

// A run-time error with the number and description a user or the start-up
// log is shown ("... Code 62").
struct VbError : std::exception {
    qint32 Number = 0;
    QString Description;

    VbError() = default;
    VbError(qint32 number, const QString &description)
        : Number(number)
        , Description(description)
    {
    }
    const char *what() const noexcept override { return "VbError"; }
};

// The error numbers the shell reports.
namespace VbErr {
constexpr qint32 OutOfMemory = 7;
constexpr qint32 SubscriptOutOfRange = 9;
constexpr qint32 FileNotFound = 53;
constexpr qint32 BadRecordLength = 59;
constexpr qint32 InputPastEndOfFile = 62;
constexpr qint32 PermissionDenied = 70;
constexpr qint32 PathFileAccessError = 75;
constexpr qint32 PathNotFound = 76;
} // namespace VbErr
