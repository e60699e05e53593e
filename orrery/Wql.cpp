#include "Wql.h"

#include "Wildcard.h"

#include <QDateTime>
#include <QList>

#include <optional>

namespace orrery {

namespace {

struct Token
{
    enum Kind { Word, Text, Number, Symbol, End, Bad } kind = End;
    QString text;
    QVariant number;
};

bool isWordStart(QChar c) { return c.isLetter() || c == u'_'; }
bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

// Text constants take either quote; a backslash takes the next character as it is.
Token readText(const QString &s, qsizetype &pos)
{
    const QChar quote = s[pos++];
    Token token{Token::Text, {}, {}};
    while (pos < s.size() && s[pos] != quote) {
        if (s[pos] == u'\\' && pos + 1 < s.size())
            ++pos;
        token.text.append(s[pos++]);
    }
    if (pos >= s.size())
        return {Token::Bad, {}, {}};
    ++pos;
    return token;
}

Token readNumber(const QString &s, qsizetype &pos)
{
    const qsizetype start = pos;
    if (s[pos] == u'-' || s[pos] == u'+')
        ++pos;
    bool fraction = false;
    while (pos < s.size() && (s[pos].isDigit() || s[pos] == u'.' || s[pos] == u'e' || s[pos] == u'E'
                              || ((s[pos] == u'-' || s[pos] == u'+') && (s[pos - 1] == u'e' || s[pos - 1] == u'E')))) {
        fraction = fraction || !s[pos].isDigit();
        ++pos;
    }
    const QString text = s.mid(start, pos - start);
    bool ok = false;
    if (!fraction) {
        const qlonglong whole = text.toLongLong(&ok);
        if (ok)
            return {Token::Number, text, whole};
    }
    const double value = text.toDouble(&ok);
    if (!ok || (pos < s.size() && isWordChar(s[pos])))
        return {Token::Bad, {}, {}};
    return {Token::Number, text, value};
}

QList<Token> tokenize(const QString &s)
{
    static const QStringList symbols = {QStringLiteral("<>"), QStringLiteral("!="), QStringLiteral("<="),
                                        QStringLiteral(">="), QStringLiteral("="), QStringLiteral("<"),
                                        QStringLiteral(">"), QStringLiteral("("), QStringLiteral(")"),
                                        QStringLiteral("*")};
    QList<Token> tokens;
    qsizetype pos = 0;
    while (pos < s.size()) {
        const QChar c = s[pos];
        const QChar next = pos + 1 < s.size() ? s[pos + 1] : QChar();
        if (c.isSpace()) {
            ++pos;
        } else if (isWordStart(c)) {
            const qsizetype start = pos;
            while (pos < s.size() && isWordChar(s[pos]))
                ++pos;
            tokens.append({Token::Word, s.mid(start, pos - start), {}});
        } else if (c == u'\'' || c == u'"') {
            tokens.append(readText(s, pos));
        } else if (c.isDigit() || ((c == u'-' || c == u'+' || c == u'.') && (next.isDigit() || next == u'.'))) {
            tokens.append(readNumber(s, pos));
        } else {
            auto symbol = std::find_if(symbols.cbegin(), symbols.cend(),
                                       [&](const QString &sym) { return QStringView(s).mid(pos).startsWith(sym); });
            if (symbol == symbols.cend())
                return {{Token::Bad, {}, {}}};
            tokens.append({Token::Symbol, *symbol, {}});
            pos += symbol->size();
        }
        if (!tokens.isEmpty() && tokens.last().kind == Token::Bad)
            return tokens;
    }
    tokens.append({Token::End, {}, {}});
    return tokens;
}

struct Operand
{
    bool isProperty = false;
    QString name;
    QVariant constant; // invalid for NULL
};

enum class Truth { False, True, Unknown };

Truth truth(bool value) { return value ? Truth::True : Truth::False; }

} // namespace

struct WqlQuery::Node
{
    enum Kind { And, Or, Not, Compare, Like, IsNull } kind = Compare;
    std::shared_ptr<const Node> left, right;
    Operand a, b;
    QString op;
    bool negated = false; // NOT LIKE, IS NOT NULL
};

namespace {

using NodePtr = std::shared_ptr<const WqlQuery::Node>;

class Parser
{
public:
    explicit Parser(QList<Token> tokens)
        : m_tokens(std::move(tokens))
    {
    }

    bool parseQuery(QString &className, NodePtr &where)
    {
        if (!takeWord("select") || !takeSymbol("*") || !takeWord("from") || current().kind != Token::Word
            || isKeyword(current()))
            return false;
        className = m_tokens[m_pos++].text;
        if (takeWord("where")) {
            where = parseOr();
            if (!where)
                return false;
        }
        return current().kind == Token::End;
    }

    QStringList properties() const { return m_properties; }

private:
    const Token &current() const { return m_tokens[m_pos]; }

    static bool isKeyword(const Token &token)
    {
        static const QStringList keywords = {"select", "from", "where", "and", "or", "not", "like",
                                             "is", "null", "true", "false"};
        return token.kind == Token::Word && keywords.contains(token.text, Qt::CaseInsensitive);
    }

    static bool isComparison(const Token &token)
    {
        static const QStringList operators = {"=", "<>", "!=", "<", ">", "<=", ">="};
        return token.kind == Token::Symbol && operators.contains(token.text);
    }

    bool takeWord(const char *word)
    {
        if (current().kind != Token::Word || current().text.compare(QLatin1String(word), Qt::CaseInsensitive) != 0)
            return false;
        ++m_pos;
        return true;
    }

    bool takeSymbol(const char *symbol)
    {
        if (current().kind != Token::Symbol || current().text != QLatin1String(symbol))
            return false;
        ++m_pos;
        return true;
    }

    NodePtr join(WqlQuery::Node::Kind kind, NodePtr left, NodePtr right)
    {
        auto node = std::make_shared<WqlQuery::Node>();
        node->kind = kind;
        node->left = std::move(left);
        node->right = std::move(right);
        return node;
    }

    NodePtr parseOr()
    {
        NodePtr left = parseAnd();
        while (left && takeWord("or")) {
            NodePtr right = parseAnd();
            left = right ? join(WqlQuery::Node::Or, left, right) : nullptr;
        }
        return left;
    }

    NodePtr parseAnd()
    {
        NodePtr left = parseNot();
        while (left && takeWord("and")) {
            NodePtr right = parseNot();
            left = right ? join(WqlQuery::Node::And, left, right) : nullptr;
        }
        return left;
    }

    NodePtr parseNot()
    {
        if (takeWord("not")) {
            NodePtr inner = parseNot();
            return inner ? join(WqlQuery::Node::Not, inner, nullptr) : nullptr;
        }
        if (takeSymbol("(")) {
            NodePtr inner = parseOr();
            return inner && takeSymbol(")") ? inner : nullptr;
        }
        return parseComparison();
    }

    bool parseOperand(Operand &operand)
    {
        const Token &token = current();
        if (token.kind == Token::Text) {
            operand.constant = token.text;
        } else if (token.kind == Token::Number) {
            operand.constant = token.number;
        } else if (takeWord("null")) {
            return true;
        } else if (takeWord("true")) {
            operand.constant = true;
            return true;
        } else if (takeWord("false")) {
            operand.constant = false;
            return true;
        } else if (token.kind == Token::Word && !isKeyword(token)) {
            operand.isProperty = true;
            operand.name = token.text;
            m_properties.append(token.text);
        } else {
            return false;
        }
        ++m_pos;
        return true;
    }

    NodePtr parseComparison()
    {
        auto node = std::make_shared<WqlQuery::Node>();
        if (!parseOperand(node->a))
            return nullptr;
        if (takeWord("is")) {
            node->kind = WqlQuery::Node::IsNull;
            node->negated = takeWord("not");
            return takeWord("null") ? node : nullptr;
        }
        node->negated = takeWord("not");
        if (takeWord("like")) {
            node->kind = WqlQuery::Node::Like;
        } else if (!node->negated && isComparison(current())) {
            node->op = m_tokens[m_pos++].text;
        } else {
            return nullptr;
        }
        if (!parseOperand(node->b))
            return nullptr;
        // A comparison needs something to look at: two constants are refused.
        if (!node->a.isProperty && !node->b.isProperty)
            return nullptr;
        return node;
    }

    QList<Token> m_tokens;
    qsizetype m_pos = 0;
    QStringList m_properties;
};

bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

QString textOf(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDateTime)
        return dmtfDate(v.toDateTime());
    return v.toString();
}

template<typename T>
int order(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// The order of two non-null values; none when they cannot be compared.
std::optional<int> compareValues(const QVariant &a, const QVariant &b)
{
    const bool numberA = isNumber(a), numberB = isNumber(b);
    if (numberA && numberB) {
        if (a.typeId() != QMetaType::Double && b.typeId() != QMetaType::Double)
            return order(a.toLongLong(), b.toLongLong());
        return order(a.toDouble(), b.toDouble());
    }
    if (numberA || numberB) {
        bool ok = false;
        const double other = textOf(numberA ? b : a).trimmed().toDouble(&ok);
        if (!ok)
            return std::nullopt;
        return numberA ? order(a.toDouble(), other) : order(other, b.toDouble());
    }
    const int c = textOf(a).compare(textOf(b), Qt::CaseInsensitive);
    return order(c, 0);
}

QVariant valueOf(const Operand &operand, const WmiObject &object)
{
    return operand.isProperty ? object.value(operand.name) : operand.constant;
}

Truth evaluate(const WqlQuery::Node &node, const WmiObject &object)
{
    using Node = WqlQuery::Node;
    switch (node.kind) {
    case Node::And: {
        const Truth l = evaluate(*node.left, object);
        if (l == Truth::False)
            return Truth::False;
        const Truth r = evaluate(*node.right, object);
        if (r == Truth::False)
            return Truth::False;
        return l == Truth::True && r == Truth::True ? Truth::True : Truth::Unknown;
    }
    case Node::Or: {
        const Truth l = evaluate(*node.left, object);
        if (l == Truth::True)
            return Truth::True;
        const Truth r = evaluate(*node.right, object);
        if (r == Truth::True)
            return Truth::True;
        return l == Truth::False && r == Truth::False ? Truth::False : Truth::Unknown;
    }
    case Node::Not: {
        const Truth inner = evaluate(*node.left, object);
        return inner == Truth::Unknown ? inner : truth(inner == Truth::False);
    }
    case Node::IsNull:
        return truth(valueOf(node.a, object).isValid() == node.negated);
    case Node::Like: {
        const QVariant value = valueOf(node.a, object), pattern = valueOf(node.b, object);
        if (!value.isValid() || !pattern.isValid())
            return Truth::Unknown;
        return truth(matchesPattern(textOf(value).toLower(), textOf(pattern).toLower(), QueryLikePattern)
                     != node.negated);
    }
    case Node::Compare: {
        const QVariant a = valueOf(node.a, object), b = valueOf(node.b, object);
        if (!a.isValid() || !b.isValid())
            return Truth::Unknown;
        const std::optional<int> c = compareValues(a, b);
        if (!c)
            return Truth::False;
        if (node.op == QLatin1String("="))
            return truth(*c == 0);
        if (node.op == QLatin1String("<>") || node.op == QLatin1String("!="))
            return truth(*c != 0);
        if (node.op == QLatin1String("<"))
            return truth(*c < 0);
        if (node.op == QLatin1String(">"))
            return truth(*c > 0);
        if (node.op == QLatin1String("<="))
            return truth(*c <= 0);
        return truth(*c >= 0);
    }
    }
    return Truth::Unknown;
}

} // namespace

WqlQuery WqlQuery::parse(const QString &text)
{
    WqlQuery query;
    QList<Token> tokens = tokenize(text);
    if (tokens.isEmpty() || tokens.last().kind == Token::Bad)
        return query;
    Parser parser(std::move(tokens));
    query.m_valid = parser.parseQuery(query.m_className, query.m_where);
    query.m_properties = parser.properties();
    return query;
}

bool WqlQuery::matches(const WmiObject &object) const
{
    return m_valid && (!m_where || evaluate(*m_where, object) == Truth::True);
}

QString dmtfDate(const QDateTime &date)
{
    if (!date.isValid())
        return {};
    const int offset = date.offsetFromUtc() / 60;
    return date.toString(QStringLiteral("yyyyMMddHHmmss.zzz")) + QStringLiteral("000")
        + (offset < 0 ? u'-' : u'+') + QStringLiteral("%1").arg(qAbs(offset), 3, 10, QLatin1Char('0'));
}

} // namespace orrery
