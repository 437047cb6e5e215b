#pragma once

#include <QVector>

#include <algorithm>
#include <memory>

namespace Plumbrook {

// A list kept in fixed-size pieces, each piece shared with the list it was made
// after wherever that one holds the same items, so that a long history of lists
// differing in one item costs one piece per list.
template<typename T>
struct SharedChunks
{
    static constexpr qsizetype kChunk = 64;
    QVector<std::shared_ptr<const QVector<T>>> chunks;
    qsizetype count = 0;

    template<typename Same>
    static SharedChunks from(const QVector<T> &items, const SharedChunks *previous, Same same)
    {
        SharedChunks result;
        result.count = items.size();
        result.chunks.reserve((items.size() + kChunk - 1) / kChunk);
        for (qsizetype start = 0; start < items.size(); start += kChunk) {
            const qsizetype length = qMin(kChunk, items.size() - start);
            const qsizetype index = start / kChunk;
            if (previous && index < previous->chunks.size()) {
                const auto &old = previous->chunks.at(index);
                if (old->size() == length
                    && std::equal(old->cbegin(), old->cend(), items.cbegin() + start, same)) {
                    result.chunks.append(old);
                    continue;
                }
            }
            result.chunks.append(std::make_shared<const QVector<T>>(items.mid(start, length)));
        }
        return result;
    }

    QVector<T> toVector() const
    {
        QVector<T> all;
        all.reserve(count);
        for (const auto &chunk : chunks)
            all += *chunk;
        return all;
    }

    // True when both are made of the very same pieces.
    bool sharesAll(const SharedChunks &other) const { return chunks == other.chunks; }
};

} // namespace Plumbrook
