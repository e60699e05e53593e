#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

namespace orrery {

// One instance of a management class as a query sees it: property values by
// name, letter case free. A property without a value (or never set) reads as
// an invalid QVariant, which queries treat as null.
class WmiObject
{
public:
    void set(const QString &name, const QVariant &value)
    {
        if (value.isValid())
            m_values.insert(name.toLower(), value);
    }
    QVariant value(const QString &name) const { return m_values.value(name.toLower()); }

private:
    QHash<QString, QVariant> m_values;
};

} // namespace orrery
