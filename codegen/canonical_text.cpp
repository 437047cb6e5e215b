#include "codegen/canonical_text.h"

#include <algorithm>

namespace Plumbrook {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Calls keep(rawIndex, character) for each character the canonical text holds
// and broke() where a line break was dropped.
template<typename Keep, typename Broke>
void canonicalise(const QString &raw, Keep &&keep, Broke &&broke)
{
    const qsizetype size = raw.size();
    QChar previous;
    qsizetype i = 0;
    while (i < size) {
        if (!isBlank(raw.at(i))) {
            previous = raw.at(i);
            keep(i, previous);
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < size && isBlank(raw.at(end)))
            ++end;
        bool breaksLine = false;
        for (qsizetype k = i; k < end && !breaksLine; ++k)
            breaksLine = raw.at(k) == u'\n' || raw.at(k) == u'\r';
        const bool dropped = breaksLine || previous.isNull() || end == size || previous == u'>'
            || raw.at(end) == u'<';
        if (breaksLine)
            broke();
        if (!dropped) {
            for (qsizetype k = i; k < end; ++k)
                keep(k, raw.at(k));
            previous = raw.at(end - 1);
        }
        i = end;
    }
}

} // namespace

CanonicalText::CanonicalText(const QString &raw)
    : mRaw(raw)
{
    // Written through pointers: appending one character at a time costs more
    // than the reading itself.
    mText.resize(raw.size());
    mRawIndex.resize(raw.size() + 1);
    QChar *text = mText.data();
    int *index = mRawIndex.data();
    qsizetype size = 0;
    canonicalise(
        raw,
        [&](qsizetype at, QChar c) {
            text[size] = c;
            index[size++] = int(at);
        },
        [&] { mBreaks.append(int(size)); });
    mText.truncate(size);
    mRawIndex.resize(size + 1);
    mRawIndex[size] = int(raw.size());
}

QString CanonicalText::of(const QString &raw)
{
    QString text(raw.size(), Qt::Uninitialized);
    QChar *out = text.data();
    qsizetype size = 0;
    canonicalise(raw, [&](qsizetype, QChar c) { out[size++] = c; }, [] {});
    text.truncate(size);
    return text;
}

qsizetype CanonicalText::rawBegin(qsizetype begin) const
{
    if (begin == 0)
        return 0;
    return mRawIndex.at(begin - 1) + 1;
}

QString CanonicalText::rawSlice(qsizetype begin, qsizetype end) const
{
    const qsizetype from = rawBegin(begin);
    return mRaw.mid(from, rawEnd(end) - from);
}

qsizetype CanonicalText::nextLineBreak(qsizetype position) const
{
    const auto next = std::upper_bound(mBreaks.cbegin(), mBreaks.cend(), position);
    return next == mBreaks.cend() ? mText.size() : *next;
}

int CanonicalText::lineAt(qsizetype position) const
{
    const qsizetype rawPosition = mRawIndex.at(qMin(position, mText.size()));
    int line = 1;
    for (qsizetype i = 0; i < rawPosition; ++i) {
        if (mRaw.at(i) == u'\n')
            ++line;
    }
    return line;
}

} // namespace Plumbrook
