#pragma once

#include <QString>
#include <QVector>

namespace Plumbrook {

// Finds the clickable components that the components stacked above them hide completely.
namespace CoveredComponents {

// A frame with exclusive right and bottom edges, in module pixels.
struct Box
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int level = 0;   // z-index of the component's outermost element
    int row = 0;     // later rows lie above earlier ones of the same level
    bool clickable = false;

    bool isEmpty() const { return right <= left || bottom <= top; }
    bool isAbove(const Box &other) const
    {
        return level != other.level ? level > other.level : row > other.row;
    }
};

// Indexes into `boxes` of the clickable boxes that the union of the boxes above them
// covers completely, in ascending order.
QVector<int> find(const QVector<Box> &boxes);

// Whether the union of `parts` covers `target` (parts may reach beyond it).
bool unionCovers(const Box &target, const QVector<Box> &parts);

// The z-index the generated code gives a kind's outermost element; 0 for a text that
// names no kind with code of its own.
int stackLevel(const QString &kind);

} // namespace CoveredComponents
} // namespace Plumbrook
