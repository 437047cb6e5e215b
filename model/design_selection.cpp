#include "model/design_selection.h"

#include <QSet>

namespace Plumbrook {

DesignSelection::DesignSelection(QObject *parent)
    : QObject(parent)
{
}

void DesignSelection::change(const QStringList &ids, bool module)
{
    if (ids == mIds && module == mModule)
        return;
    mIds = ids;
    mModule = module;
    emit selectionChanged();
}

void DesignSelection::select(const QString &id)
{
    change(id.isEmpty() ? QStringList() : QStringList{id}, false);
}

void DesignSelection::setIds(const QStringList &ids)
{
    // A band over thousands of components hands them all at once: a set keeps
    // weeding out repeats linear.
    QStringList unique;
    unique.reserve(ids.size());
    QSet<QString> seen;
    seen.reserve(ids.size());
    for (const QString &id : ids) {
        if (!id.isEmpty() && !seen.contains(id)) {
            seen.insert(id);
            unique.append(id);
        }
    }
    change(unique, false);
}

void DesignSelection::add(const QString &id)
{
    QStringList ids = mIds;
    ids.removeAll(id);
    ids.append(id);
    setIds(ids);
}

void DesignSelection::remove(const QString &id)
{
    QStringList ids = mIds;
    ids.removeAll(id);
    change(ids, mModule && ids.isEmpty());
}

void DesignSelection::selectModule()
{
    change({}, true);
}

void DesignSelection::clear()
{
    change({}, false);
}

} // namespace Plumbrook
