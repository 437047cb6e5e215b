#include "net/pattern_matcher.h"

namespace Plumbrook {

namespace {

QString expand(const QString &replacement, const QRegularExpressionMatch &match, const QString &subject)
{
    QString out;
    const qsizetype n = replacement.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = replacement.at(i);
        if (c != u'$' || i + 1 >= n) {
            out.append(c);
            continue;
        }
        const QChar next = replacement.at(i + 1);
        if (next == u'$') {
            out.append(u'$');
            ++i;
        } else if (next == u'&') {
            out.append(match.captured(0));
            ++i;
        } else if (next == u'`') {
            out.append(subject.left(match.capturedStart(0)));
            ++i;
        } else if (next == u'\'') {
            out.append(subject.mid(match.capturedEnd(0)));
            ++i;
        } else if (next.isDigit() && next.unicode() < 0x80) {
            // Two digits when that names an existing group, else one.
            int group = next.digitValue();
            qsizetype used = 1;
            if (i + 2 < n && replacement.at(i + 2).unicode() >= u'0' && replacement.at(i + 2).unicode() <= u'9') {
                const int two = group * 10 + replacement.at(i + 2).digitValue();
                if (two >= 1 && two <= match.regularExpression().captureCount()) {
                    group = two;
                    used = 2;
                }
            }
            if (group >= 1 && group <= match.regularExpression().captureCount()) {
                out.append(match.captured(group));
                i += used;
            } else {
                out.append(c);
            }
        } else {
            out.append(c);
        }
    }
    return out;
}

} // namespace

bool PatternMatcher::create(const QString &pattern, const QString &subject, bool caseSensitive,
                            bool multiline, bool global, bool quoteMarker)
{
    mMatches.clear();
    mCreated = true;
    mGlobal = global;
    mPattern = pattern;
    if (quoteMarker)
        mPattern.replace(QStringLiteral("#引号"), QStringLiteral("\""));
    mSubject = subject;

    QRegularExpression::PatternOptions options;
    if (!caseSensitive)
        options |= QRegularExpression::CaseInsensitiveOption;
    if (multiline)
        options |= QRegularExpression::MultilineOption;
    // CR, LF and CR LF all end a line, for "^", "$" and ".", as in the engines whose
    // patterns these are; PCRE's default knows LF only.
    mExpression = QRegularExpression(QStringLiteral("(*ANYCRLF)") + mPattern, options);
    mValid = mExpression.isValid();
    if (!mValid)
        return false;

    if (global) {
        auto it = mExpression.globalMatch(mSubject);
        while (it.hasNext())
            mMatches.append(it.next());
    } else {
        const QRegularExpressionMatch match = mExpression.match(mSubject);
        if (match.hasMatch())
            mMatches.append(match);
    }
    return true;
}

QString PatternMatcher::pattern() const
{
    return mCreated ? mPattern : QString();
}

int PatternMatcher::matchCount() const
{
    return int(mMatches.size());
}

QString PatternMatcher::matchText(int matchIndex) const
{
    if (matchIndex < 1 || matchIndex > mMatches.size())
        return {};
    return mMatches.at(matchIndex - 1).captured(0);
}

QString PatternMatcher::groupText(int matchIndex, int groupIndex) const
{
    if (matchIndex < 1 || matchIndex > mMatches.size() || groupIndex < 1 || groupIndex > groupCount())
        return {};
    return mMatches.at(matchIndex - 1).captured(groupIndex);
}

int PatternMatcher::groupCount() const
{
    return mMatches.isEmpty() ? 0 : mExpression.captureCount();
}

QString PatternMatcher::replace(const QString &replacement) const
{
    if (!mValid)
        return {};
    if (mMatches.isEmpty())
        return mSubject;
    QString out;
    qsizetype done = 0;
    for (const QRegularExpressionMatch &match : mMatches) {
        out.append(QStringView(mSubject).mid(done, match.capturedStart(0) - done));
        out.append(expand(replacement, match, mSubject));
        done = match.capturedEnd(0);
        if (!mGlobal)
            break;
    }
    out.append(QStringView(mSubject).mid(done));
    return out;
}

QString PatternMatcher::firstMatch(const QString &pattern, const QString &subject)
{
    PatternMatcher matcher;
    matcher.create(pattern, subject);
    return matcher.matchText(1);
}

} // namespace Plumbrook
