#pragma once

#include "data/SettingsRecord.h"
#include "keys/modKeys.h"

#include <QList>
#include <QString>

// The friendly menu a fresh program folder starts with.
namespace DemoMenu {

struct Picture {
    QString name;      // drawing to use
    QString fileName;  // below the program folder's demo/ folder
    qint32 backColor;  // the button's colour, 0x00BBGGRR
};

SettingsRecord Settings();
QList<Picture> Pictures();
QList<SpecialKey> SpecialKeys();

} // namespace DemoMenu
