#pragma once

#include "WmiObject.h"
#include "Wql.h"

#include <QList>
#include <QString>

namespace orrery {

// The lettered drives of the mount table file as Win32_LogicalDisk objects
// that meet the query. Sizes, serial and label are read only for drives the
// query keeps, unless the query itself asks about them, so a question about
// one letter never waits for another drive.
QList<WmiObject> readLogicalDisks(const QString &mountTable, const QString &linksFolder, const WqlQuery &query);

} // namespace orrery
