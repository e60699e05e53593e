#pragma once

#include <QByteArray>
#include <QString>

// The parent's password made slow to guess: a PBKDF2-SHA256 key of the
// password in lower case and Windows-1252, with a random salt. The install's
// parent.ini stores one; the remote console proves it knows the password by
// keying its answer with one, so a sniffed exchange cannot be tried against a
// dictionary at machine speed.
struct PasswordKey
{
    static constexpr int MinIterations = 100000;
    // A stored or received count above this is refused, so that a file or a
    // peer cannot make us compute for minutes.
    static constexpr int MaxIterations = 10000000;
    static constexpr int KeyLength = 32;
    static constexpr int SaltLength = 16;

    QByteArray salt;
    int iterations = 0;
    QByteArray key;

    bool isNull() const { return key.isEmpty(); }

    // Slow on purpose (a fraction of a second): derive once, keep the result.
    static PasswordKey derive(const QString &password, const QByteArray &salt, int iterations);
    // A fresh random salt and the minimum iterations.
    static PasswordKey make(const QString &password);
    // True when a salt and count read from a file or the network may be used.
    static bool acceptable(const QByteArray &salt, int iterations);

    // Ignoring letter case, as every parent password is compared.
    bool matches(const QString &password) const;
    bool operator==(const PasswordKey &other) const;
};

// Compares in a time that does not depend on where the bytes differ; two empty
// arrays are not equal (nothing proves nothing).
bool ConstantTimeEqual(const QByteArray &a, const QByteArray &b);
