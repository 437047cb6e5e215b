#pragma once

#include "model/kind_table.h"

#include <QString>
#include <QWidget>
#include <functional>

namespace Plumbrook {

class EditorHost;

// Maps kind names to their editor windows and keeps track of the open ones,
// so that at most one editor is open and all can be closed at once.
namespace EditorRegistry {

// Creates the editor window for a row (not yet shown). The window is destroyed
// when it closes (WA_DeleteOnClose is set by open()).
using Factory = std::function<QWidget *(EditorHost *host, int row)>;

void add(const QString &kind, Factory factory);
// The editor class Editor(EditorHost *, int row) for one of the kinds.
template<typename Editor>
void add(KindTable::Kind kind)
{
    add(KindTable::nameOf(kind), [](EditorHost *host, int row) -> QWidget * { return new Editor(host, row); });
}
bool has(const QString &kind);
// Creates, registers and shows the kind's editor for the row; nullptr for a kind without one.
QWidget *open(EditorHost *host, const QString &kind, int row);
// The editor window currently open, if any.
QWidget *current();
void closeAll();

} // namespace EditorRegistry
} // namespace Plumbrook
