#include "PropertyBag.h"

PropertyBag::~PropertyBag() = default;

QVariant MemoryPropertyBag::ReadProperty(const QString &key, const QVariant &def)
{
    const auto it = m_values.constFind(key);
    return it == m_values.constEnd() ? def : it.value();
}

void MemoryPropertyBag::WriteProperty(const QString &key, const QVariant &value, const QVariant &def)
{
    const bool isDefault = (!value.isValid() && !def.isValid()) || (value.isValid() && value == def);
    if (isDefault) {
        if (m_values.remove(key))
            m_order.removeAll(key);
        return;
    }
    if (!m_values.contains(key))
        m_order.append(key);
    m_values.insert(key, value);
}

void MemoryPropertyBag::clear()
{
    m_values.clear();
    m_order.clear();
}
