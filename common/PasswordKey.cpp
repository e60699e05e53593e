#include "PasswordKey.h"

#include "Cp1252.h"

#include <QPasswordDigestor>
#include <QRandomGenerator>

PasswordKey PasswordKey::derive(const QString &password, const QByteArray &salt, int iterations)
{
    if (!acceptable(salt, iterations))
        return {};
    const QByteArray key = QPasswordDigestor::deriveKeyPbkdf2(
        QCryptographicHash::Sha256, Cp1252::encode(password.toLower()), salt, iterations, KeyLength);
    if (key.size() != KeyLength)
        return {};
    return {salt, iterations, key};
}

PasswordKey PasswordKey::make(const QString &password)
{
    QByteArray salt(SaltLength, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), SaltLength / 4);
    return derive(password, salt, MinIterations);
}

bool PasswordKey::acceptable(const QByteArray &salt, int iterations)
{
    return !salt.isEmpty() && salt.size() <= 64 && iterations >= MinIterations && iterations <= MaxIterations;
}

bool PasswordKey::matches(const QString &password) const
{
    return !isNull() && ConstantTimeEqual(derive(password, salt, iterations).key, key);
}

bool PasswordKey::operator==(const PasswordKey &other) const
{
    return salt == other.salt && iterations == other.iterations && ConstantTimeEqual(key, other.key);
}

bool ConstantTimeEqual(const QByteArray &a, const QByteArray &b)
{
    unsigned char difference = a.size() == b.size() ? 0 : 1;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a.at(i) ^ (i < b.size() ? b.at(i) : 0));
    return difference == 0 && !a.isEmpty();
}
