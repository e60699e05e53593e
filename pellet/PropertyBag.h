#pragma once

#include "pellet_export.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

// Where a host keeps the saved properties of its controls.
class PELLET_EXPORT PropertyBag
{
public:
    virtual ~PropertyBag();

    // The stored value of key, or def when the key was never written.
    virtual QVariant ReadProperty(const QString &key, const QVariant &def) = 0;

    // Stores value under key; a value equal to def is not stored (an older value is dropped).
    virtual void WriteProperty(const QString &key, const QVariant &value, const QVariant &def) = 0;
};

// A bag held in memory, in the order the keys were first written.
class PELLET_EXPORT MemoryPropertyBag : public PropertyBag
{
public:
    QVariant ReadProperty(const QString &key, const QVariant &def) override;
    void WriteProperty(const QString &key, const QVariant &value, const QVariant &def) override;

    bool contains(const QString &key) const { return m_values.contains(key); }
    QVariant value(const QString &key) const { return m_values.value(key); }
    QStringList keys() const { return m_order; }
    bool isEmpty() const { return m_values.isEmpty(); }
    void clear();

private:
    QHash<QString, QVariant> m_values;
    QStringList m_order;
};
