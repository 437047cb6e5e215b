#include "model/design_selection.h"

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
    QStringList unique;
    for (const QString &id : ids) {
        if (!id.isEmpty() && !unique.contains(id))
            unique.append(id);
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
