#include "Wildcard.h"

#include <QList>

namespace orrery {

namespace {

// One element of a compiled pattern. Every kind but AnyRun matches exactly
// one character, which keeps matching to a single backtracking point.
struct Token
{
    enum Kind { Literal, AnyOne, Digit, AnyRun, List } kind = Literal;
    QChar ch;
    bool negated = false;
    QList<QPair<QChar, QChar>> ranges;

    bool matches(QChar c) const
    {
        switch (kind) {
        case Literal:
            return c == ch;
        case AnyOne:
            return true;
        case Digit:
            return c >= u'0' && c <= u'9';
        case List:
            for (const auto &range : ranges) {
                if (c >= range.first && c <= range.second)
                    return !negated;
            }
            return negated;
        case AnyRun:
            break;
        }
        return false;
    }
};

// Reads the list that starts after "[" at pos; pos ends after "]".
bool compileList(QStringView pattern, qsizetype &pos, const PatternSyntax &syntax, Token &token)
{
    token.kind = Token::List;
    if (pos < pattern.size() && pattern[pos] == syntax.negate) {
        token.negated = true;
        ++pos;
    }
    while (pos < pattern.size() && pattern[pos] != u']') {
        const QChar first = pattern[pos++];
        QChar last = first;
        if (pos + 1 < pattern.size() && pattern[pos] == u'-' && pattern[pos + 1] != u']') {
            last = pattern[pos + 1];
            pos += 2;
            if (last < first)
                return false;
        }
        token.ranges.append({first, last});
    }
    if (pos >= pattern.size())
        return false;
    ++pos; // the "]"
    return true;
}

bool compile(QStringView pattern, const PatternSyntax &syntax, QList<Token> &tokens)
{
    qsizetype pos = 0;
    while (pos < pattern.size()) {
        const QChar c = pattern[pos++];
        Token token;
        if (c == syntax.anyRun) {
            token.kind = Token::AnyRun;
        } else if (c == syntax.anyOne) {
            token.kind = Token::AnyOne;
        } else if (!syntax.digit.isNull() && c == syntax.digit) {
            token.kind = Token::Digit;
        } else if (c == u'[') {
            if (!compileList(pattern, pos, syntax, token))
                return false;
            if (token.ranges.isEmpty() && !token.negated)
                continue; // "[]" stands for no character at all
        } else {
            token.ch = c;
        }
        tokens.append(token);
    }
    return true;
}

} // namespace

bool matchesPattern(QStringView text, QStringView pattern, const PatternSyntax &syntax)
{
    QList<Token> tokens;
    if (!compile(pattern, syntax, tokens))
        return false;

    // Greedy matching that returns to the last run token on a mismatch.
    qsizetype t = 0, p = 0;
    qsizetype runToken = -1, runText = 0;
    while (t < text.size()) {
        if (p < tokens.size() && tokens[p].kind == Token::AnyRun) {
            runToken = p++;
            runText = t;
        } else if (p < tokens.size() && tokens[p].matches(text[t])) {
            ++p;
            ++t;
        } else if (runToken >= 0) {
            p = runToken + 1;
            t = ++runText;
        } else {
            return false;
        }
    }
    while (p < tokens.size() && tokens[p].kind == Token::AnyRun)
        ++p;
    return p == tokens.size();
}

} // namespace orrery
