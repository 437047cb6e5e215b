#pragma once

#include <QObject>
#include <QStringList>

namespace Plumbrook {

// Which components of the design are selected, by id, the current one last; or
// the module background. Selecting changes nothing of the design and is no step.
class DesignSelection : public QObject
{
    Q_OBJECT

public:
    explicit DesignSelection(QObject *parent = nullptr);

    QStringList ids() const { return mIds; }
    // The component the geometry boxes and the editors act on; empty when none.
    QString current() const { return mIds.isEmpty() ? QString() : mIds.last(); }
    bool contains(const QString &id) const { return mIds.contains(id); }
    bool isEmpty() const { return mIds.isEmpty() && !mModule; }
    bool moduleSelected() const { return mModule; }

    void select(const QString &id);
    void setIds(const QStringList &ids);
    void add(const QString &id);
    void remove(const QString &id);
    void selectModule();
    void clear();

signals:
    void selectionChanged();

private:
    void change(const QStringList &ids, bool module);

    QStringList mIds;
    bool mModule = false;
};

} // namespace Plumbrook
