#pragma once

#include <QString>

#include <tuple>

namespace Plumbrook {

class ComponentTable;

// The order the module's code stacks its components in, which the canvas shows:
// by the z-index the kind's code gives, then by row; a carousel's arrows are part of
// its code and so lie just above it.
namespace StackingOrder {

// The z-index the kind's code is written with.
int zIndexOf(const QString &kind);

struct Key
{
    int z = 0;
    int row = 0;
    int part = 0;   // 1 and 2 for a carousel's arrows, above the carousel's 0
    bool operator<(const Key &other) const
    {
        return std::tie(z, row, part) < std::tie(other.z, other.row, other.part);
    }
};
Key keyOf(const ComponentTable &table, int row);

} // namespace StackingOrder
} // namespace Plumbrook
