#pragma once

#include <QChar>
#include <QStringView>

namespace orrery {

// The characters that make a pattern: a run of any characters, any one
// character, one digit (none when null) and the mark that negates a
// bracketed list. Bracketed lists ("[a-z]") are common to both syntaxes.
struct PatternSyntax
{
    QChar anyRun;
    QChar anyOne;
    QChar digit;
    QChar negate;
};

// Patterns of file names: "*", "?", "#", "[list]", "[!list]".
inline constexpr PatternSyntax FileNamePattern{u'*', u'?', u'#', u'!'};
// Patterns of the query language's LIKE: "%", "_", "[list]", "[^list]".
inline constexpr PatternSyntax QueryLikePattern{u'%', u'_', QChar(), u'^'};

// True when the whole text matches the pattern. Characters compare exactly;
// callers fold letter case first when they want it ignored. A malformed
// pattern (an unclosed or reversed list) matches nothing.
bool matchesPattern(QStringView text, QStringView pattern, const PatternSyntax &syntax);

} // namespace orrery
