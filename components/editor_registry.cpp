#include "components/editor_registry.h"

#include <QHash>
#include <QList>
#include <QPointer>

namespace Plumbrook::EditorRegistry {

namespace {

QHash<QString, Factory> &factories()
{
    static QHash<QString, Factory> map;
    return map;
}

QList<QPointer<QWidget>> &openEditors()
{
    static QList<QPointer<QWidget>> list;
    return list;
}

} // namespace

void add(const QString &kind, Factory factory)
{
    factories().insert(kind, std::move(factory));
}

bool has(const QString &kind)
{
    return factories().contains(kind);
}

QWidget *open(EditorHost *host, const QString &kind, int row)
{
    const auto it = factories().constFind(kind);
    if (it == factories().constEnd())
        return nullptr;
    QWidget *editor = (*it)(host, row);
    if (!editor)
        return nullptr;
    editor->setAttribute(Qt::WA_DeleteOnClose);
    openEditors().append(editor);
    editor->show();
    editor->raise();
    return editor;
}

QWidget *current()
{
    for (const auto &editor : openEditors()) {
        if (editor)
            return editor;
    }
    return nullptr;
}

void closeAll()
{
    const auto editors = openEditors();
    openEditors().clear();
    for (const auto &editor : editors) {
        if (!editor)
            continue;
        // close() with WA_DeleteOnClose defers the deletion, which keeps this
        // safe when an editor's own button leads here.
        editor->close();
    }
}

} // namespace Plumbrook::EditorRegistry
