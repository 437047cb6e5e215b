#pragma once

#include <QList>
#include <QRegularExpression>
#include <QRegularExpressionMatch>
#include <QString>

namespace Plumbrook {

// Runs one regular expression over one text and hands out matches and groups by 1-based index.
//
// Works on characters, so "." takes a whole Chinese character. Every query that names
// a match or group that does not exist gives an empty text.
class PatternMatcher
{
public:
    // Compiles the pattern and collects its matches in the subject (all of them when
    // global, else the first). With quoteMarker every "#引号" in the pattern stands for
    // a double quote. False when the pattern does not compile; there are then no matches.
    bool create(const QString &pattern, const QString &subject, bool caseSensitive = false,
                bool multiline = true, bool global = true, bool quoteMarker = false);

    QString pattern() const;
    int matchCount() const;
    QString matchText(int matchIndex) const;
    QString groupText(int matchIndex, int groupIndex) const;
    // Groups of the first match; 0 without matches.
    int groupCount() const;
    // The subject with the matches replaced; "$1".."$99", "$&", "$`", "$'" and "$$"
    // in the replacement stand for the group, the match, the text before and after it,
    // and a dollar sign. Empty when no pattern was compiled.
    QString replace(const QString &replacement) const;

    // Match 1 of the pattern in the subject with the default options, or an empty text.
    static QString firstMatch(const QString &pattern, const QString &subject);

private:
    bool mCreated = false;
    bool mValid = false;
    bool mGlobal = true;
    QString mPattern;
    QString mSubject;
    QRegularExpression mExpression;
    QList<QRegularExpressionMatch> mMatches;
};

} // namespace Plumbrook
