#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the single-byte encoding of every file and protocol message the
// suite shares with Windows-made data. The five bytes Windows leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value, as
// Windows itself does, so any byte sequence survives a decode/encode round trip.
namespace Cp1252 {

QString decode(const QByteArray &bytes);
QString decode(const char *data, qsizetype size);

// Characters the code page cannot hold become "?".
QByteArray encode(const QString &text);

} // namespace Cp1252
