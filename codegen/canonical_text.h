#pragma once

#include <QString>
#include <QVector>

namespace Plumbrook {

// Module code with its line ends and its blanks next to tags taken out, so that
// code a shop's back end has reformatted reads the same as the code generated;
// every character remembers where it stood in the original text.
class CanonicalText
{
public:
    explicit CanonicalText(const QString &raw);

    // A run of blanks is dropped where it breaks a line, follows a ">", comes
    // before a "<" or stands at either end; any other run is kept.
    static QString of(const QString &raw);

    const QString &text() const { return mText; }
    const QString &raw() const { return mRaw; }

    // Where the canonical range [begin, end) stands in the original text,
    // including the blanks dropped at its two ends.
    qsizetype rawBegin(qsizetype begin) const;
    qsizetype rawEnd(qsizetype end) const { return mRawIndex.at(end); }
    // Where the canonical character at `position` stands in the original text.
    qsizetype rawAt(qsizetype position) const { return mRawIndex.at(position); }
    QString rawSlice(qsizetype begin, qsizetype end) const;
    // The 1-based line of the original text the canonical position falls on.
    int lineAt(qsizetype position) const;
    // The first position after `position` where the original text breaks its
    // line between two characters; the size of the text when it no more does.
    qsizetype nextLineBreak(qsizetype position) const;

private:
    QString mRaw;
    QString mText;
    QVector<int> mRawIndex; // one per character of mText, then mRaw.size()
    QVector<int> mBreaks;   // positions in mText that a dropped line break stood before
};

} // namespace Plumbrook
