#include "codegen/canonical_text.h"

namespace Plumbrook {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Calls keep(rawIndex, character) for each character the canonical text holds.
template<typename Keep>
void canonicalise(const QString &raw, Keep &&keep)
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
    mText.reserve(raw.size());
    mRawIndex.reserve(raw.size() + 1);
    canonicalise(raw, [this](qsizetype index, QChar c) {
        mText.append(c);
        mRawIndex.append(int(index));
    });
    mRawIndex.append(int(raw.size()));
}

QString CanonicalText::of(const QString &raw)
{
    QString text;
    text.reserve(raw.size());
    canonicalise(raw, [&text](qsizetype, QChar c) { text.append(c); });
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
