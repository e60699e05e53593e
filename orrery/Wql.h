#pragma once

#include "WmiObject.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace orrery {

// A query of the management query language over one class:
//   SELECT * FROM class [WHERE condition]
// The condition compares properties with constants (=, <>, !=, <, >, <=, >=,
// [NOT] LIKE, IS [NOT] NULL) and joins comparisons with AND, OR, NOT and
// parentheses. Text compares without regard to letter case; a comparison with
// a null property is neither true nor false. Anything outside this gives an
// invalid query, which the callers answer with an empty result.
class WqlQuery
{
public:
    static WqlQuery parse(const QString &text);

    bool isValid() const { return m_valid; }
    QString className() const { return m_className; }
    // The property names the condition refers to, as written.
    QStringList properties() const { return m_properties; }
    // Whether the condition holds for the object; always without a condition.
    bool matches(const WmiObject &object) const;

    struct Node;

private:
    bool m_valid = false;
    QString m_className;
    QStringList m_properties;
    std::shared_ptr<const Node> m_where;
};

// A date in the management text form "yyyymmddHHMMSS.mmmmmm+UUU".
QString dmtfDate(const QDateTime &date);

} // namespace orrery
