#include "model/layer_list_model.h"

#include "model/component_table.h"
#include "model/design_document.h"
#include "model/kind_table.h"
#include "model/layer_stacking.h"
#include "model/sliced_work.h"

#include <QColor>
#include <QMimeData>
#include <QSet>
#include <QUndoStack>

namespace Plumbrook {

namespace {

using T = ComponentTable;

constexpr int kLabelLength = 14;
const QString kLocked = QStringLiteral("是");

QString fileNameOf(const QString &url)
{
    QString path = url.section(u'?', 0, 0).section(u'#', 0, 0);
    while (path.endsWith(u'/'))
        path.chop(1);
    return path.section(u'/', -1);
}

bool looksLikeAddress(const QString &text)
{
    return text.contains(QStringLiteral("://")) || text.startsWith(QStringLiteral("//"));
}

} // namespace

LayerListModel::LayerListModel(DesignDocument *document, QObject *parent)
    : QAbstractItemModel(parent)
    , mDocument(document)
{
    ComponentTable *table = document->table();
    connect(table, &QAbstractItemModel::rowsInserted, this, &LayerListModel::scheduleRefresh);
    connect(table, &QAbstractItemModel::rowsRemoved, this, &LayerListModel::scheduleRefresh);
    connect(table, &QAbstractItemModel::modelReset, this, &LayerListModel::scheduleRefresh);
    connect(table, &ComponentTable::cellChanged, this, [this, table](int row, int column) {
        if (column == T::Kind || column == T::Id)
            scheduleRefresh();
        else if (row >= 1 && (column == T::Locked || column == T::Picture || column == T::Link || column == T::Text))
            lineChanged(table->cell(row, T::Id));
    });
    connect(document, &DesignDocument::hiddenChanged, this, [this](const QStringList &ids) {
        for (const QString &id : ids)
            lineChanged(id);
    });
    // A step is complete when the stack moves: the list follows it before anyone looks.
    connect(document->undoStack(), &QUndoStack::indexChanged, this, [this] {
        if (mStale)
            refresh();
    });
    // A whole design coming in is read into the list in an event of its own, not in
    // the one that put it into the document.
    connect(document, &DesignDocument::designReset, this, &LayerListModel::scheduleRefresh);
    refresh();
}

void LayerListModel::setIconSource(std::function<QIcon(const QString &kind)> source)
{
    mIconSource = std::move(source);
    mIcons.clear();
    if (!mLines.isEmpty())
        emit dataChanged(index(0, NameColumn), index(int(mLines.size()) - 1, NameColumn), {Qt::DecorationRole});
}

void LayerListModel::scheduleRefresh()
{
    if (mStale)
        return;
    mStale = true;
    // A step writes many rows; the list is read again once, when it is done.
    SlicedWork::queue(this, "refresh", [this] {
        if (mStale)
            refresh();
        return false;
    });
}

void LayerListModel::refresh()
{
    mStale = false;
    if (!mDocument)
        return;
    const ComponentTable *table = mDocument->table();
    const QVector<LayerStacking::Line> order = LayerStacking::stackingOrder(*table);
    QVector<Line> lines;
    lines.reserve(order.size());
    QHash<QString, std::pair<int, int>> places;
    places.reserve(table->componentCount());
    int level = 0;
    for (const LayerStacking::Line &line : order) {
        if (!lines.isEmpty() && line.zIndex != order.at(lines.size() - 1).zIndex)
            ++level;
        Line shown{table->cell(line.row, T::Id), {}, level % 2 == 1};
        places.insert(shown.id, {int(lines.size()), -1});
        for (int arrow : line.arrows) {
            places.insert(table->cell(arrow, T::Id), {int(lines.size()), int(shown.arrows.size())});
            shown.arrows.append(table->cell(arrow, T::Id));
        }
        lines.append(std::move(shown));
    }
    // The same lines in another order keep their selection and the view its scroll.
    bool sameLines = lines.size() == mLines.size() && places.size() == mPlaces.size();
    for (qsizetype i = 0; sameLines && i < mLines.size(); ++i) {
        const auto found = places.constFind(mLines.at(i).id);
        sameLines = found != places.constEnd() && found->second < 0
            && lines.at(found->first).arrows == mLines.at(i).arrows;
    }
    if (!sameLines) {
        beginResetModel();
        mLines = std::move(lines);
        mPlaces = std::move(places);
        endResetModel();
        return;
    }
    bool reordered = false;
    for (qsizetype i = 0; !reordered && i < mLines.size(); ++i)
        reordered = mLines.at(i).id != lines.at(i).id;
    if (!reordered)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QStringList ids;
    ids.reserve(before.size());
    for (const QModelIndex &index : before)
        ids.append(idAt(index));
    mLines = std::move(lines);
    mPlaces = std::move(places);
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(indexOfId(ids.at(i), before.at(i).column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void LayerListModel::lineChanged(const QString &id)
{
    const QModelIndex first = indexOfId(id, NameColumn);
    if (first.isValid())
        emit dataChanged(first, first.siblingAtColumn(ColumnCount - 1));
}

QString LayerListModel::idAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return {};
    const quintptr parent = index.internalId();
    if (parent == 0)
        return index.row() < mLines.size() ? mLines.at(index.row()).id : QString();
    const qsizetype line = qsizetype(parent) - 1;
    if (line >= mLines.size() || index.row() >= mLines.at(line).arrows.size())
        return {};
    return mLines.at(line).arrows.at(index.row());
}

QModelIndex LayerListModel::indexOfId(const QString &id, int column) const
{
    const auto found = mPlaces.constFind(id);
    if (found == mPlaces.constEnd())
        return {};
    const auto [line, arrow] = *found;
    if (arrow < 0)
        return createIndex(line, column, quintptr(0));
    return createIndex(arrow, column, quintptr(line) + 1);
}

QStringList LayerListModel::lineIds() const
{
    QStringList ids;
    for (const Line &line : mLines) {
        ids.append(line.id);
        ids.append(line.arrows);
    }
    return ids;
}

int LayerListModel::rowOf(const QString &id) const
{
    return id.isEmpty() || !mDocument ? -1 : mDocument->table()->findRowById(id);
}

QString LayerListModel::shortLabel(const QStringList &cells)
{
    QString label;
    if (KindTable::is(cells.value(T::Kind), KindTable::Kind::Text)) {
        label = cells.value(T::Picture).simplified();
    } else {
        for (int column : {T::Picture, T::Link, T::Text}) {
            if (looksLikeAddress(cells.value(column))) {
                label = fileNameOf(cells.value(column));
                break;
            }
        }
        if (label.isEmpty() && cells.value(T::Link) != QStringLiteral("#"))
            label = cells.value(T::Link).simplified();
    }
    if (label.size() > kLabelLength)
        label = label.left(kLabelLength - 1) + QChar(0x2026);
    return label;
}

QModelIndex LayerListModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= ColumnCount)
        return {};
    if (!parent.isValid())
        return row < mLines.size() ? createIndex(row, column, quintptr(0)) : QModelIndex();
    if (parent.internalId() != 0 || parent.row() >= mLines.size()
        || row >= mLines.at(parent.row()).arrows.size())
        return {};
    return createIndex(row, column, quintptr(parent.row()) + 1);
}

QModelIndex LayerListModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == 0)
        return {};
    return createIndex(int(child.internalId() - 1), NameColumn, quintptr(0));
}

int LayerListModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(mLines.size());
    if (parent.internalId() != 0 || parent.column() != NameColumn || parent.row() >= mLines.size())
        return 0;
    return int(mLines.at(parent.row()).arrows.size());
}

int LayerListModel::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

QVariant LayerListModel::data(const QModelIndex &index, int role) const
{
    const QString id = idAt(index);
    const int row = rowOf(id);
    if (row < 1)
        return {};
    const ComponentTable *table = mDocument->table();
    const QString kind = table->cell(row, T::Kind);
    switch (role) {
    case IdRole:
        return id;
    case ZIndexRole:
        return KindTable::zIndexOf(kind);
    case Qt::ForegroundRole:
        // A hidden line is dimmed.
        return mDocument->isHidden(id) ? QVariant(QColor(Qt::gray)) : QVariant();
    case Qt::BackgroundRole: {
        const auto place = mPlaces.constFind(id);
        return place != mPlaces.constEnd() && mLines.at(place->first).shaded ? QVariant(QColor(236, 240, 248))
                                                                             : QVariant();
    }
    default:
        break;
    }
    switch (index.column()) {
    case NameColumn:
        if (role == Qt::DisplayRole) {
            const QString label = shortLabel(table->rowCells(row));
            return label.isEmpty() ? kind : kind + QStringLiteral("  ") + label;
        }
        if (role == Qt::ToolTipRole)
            return kind + QStringLiteral(" #") + id + QStringLiteral("  z-index:")
                + QString::number(KindTable::zIndexOf(kind));
        if (role == Qt::DecorationRole && mIconSource) {
            auto icon = mIcons.find(kind);
            if (icon == mIcons.end())
                icon = mIcons.insert(kind, mIconSource(kind));
            return *icon;
        }
        break;
    case ShownColumn:
        if (role == Qt::CheckStateRole)
            return mDocument->isHidden(id) ? Qt::Unchecked : Qt::Checked;
        if (role == Qt::ToolTipRole)
            return QStringLiteral("显示");
        break;
    case LockedColumn:
        if (role == Qt::CheckStateRole)
            return table->cell(row, T::Locked) == kLocked ? Qt::Checked : Qt::Unchecked;
        if (role == Qt::ToolTipRole)
            return QStringLiteral("锁定");
        break;
    default:
        break;
    }
    return {};
}

bool LayerListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const QString id = idAt(index);
    const int row = rowOf(id);
    if (row < 1 || role != Qt::CheckStateRole)
        return false;
    const bool on = value.toInt() == Qt::Checked;
    if (index.column() == ShownColumn) {
        mDocument->record(on ? QStringLiteral("显示") : QStringLiteral("隐藏"),
                          [&] { mDocument->setHidden({id}, !on); });
        return true;
    }
    if (index.column() == LockedColumn) {
        mDocument->record(on ? QStringLiteral("锁定") : QStringLiteral("解锁"), [&] {
            mDocument->table()->setCell(row, T::Locked, on ? kLocked : QStringLiteral("否"));
        });
        return true;
    }
    return false;
}

QVariant LayerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn: return QStringLiteral("图层");
    case ShownColumn: return QStringLiteral("显示");
    case LockedColumn: return QStringLiteral("锁定");
    default: return {};
    }
}

Qt::ItemFlags LayerListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // An arrow goes with its carousel in the stacking.
    if (index.internalId() == 0)
        flags |= Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    if (index.column() != NameColumn)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

Qt::DropActions LayerListModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

QStringList LayerListModel::mimeTypes() const
{
    return {kMimeType};
}

QMimeData *LayerListModel::mimeData(const QModelIndexList &indexes) const
{
    QStringList ids;
    for (const QModelIndex &index : indexes) {
        const QString id = idAt(index.siblingAtColumn(NameColumn));
        if (!id.isEmpty() && !ids.contains(id))
            ids.append(id);
    }
    auto *data = new QMimeData;
    data->setData(kMimeType, ids.join(u'\n').toUtf8());
    return data;
}

bool LayerListModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int, int,
                                     const QModelIndex &) const
{
    return data && data->hasFormat(kMimeType) && action == Qt::MoveAction;
}

bool LayerListModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                                  const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, 0, parent) || mLines.isEmpty() || !mDocument)
        return false;
    const QStringList ids = QString::fromUtf8(data->data(kMimeType)).split(u'\n', Qt::SkipEmptyParts);
    // Dropped on a line, or among a carousel's arrows: above that line. Between lines:
    // above the line after the gap, or below the last one.
    QString target;
    bool above = true;
    if (parent.isValid()) {
        target = idAt(parent.parent().isValid() ? parent.parent() : parent.siblingAtColumn(NameColumn));
    } else if (row >= 0 && row < mLines.size()) {
        target = mLines.at(row).id;
    } else {
        target = mLines.constLast().id;
        above = false;
    }
    const LayerStacking::Outcome outcome = LayerStacking::moveNextTo(mDocument, ids, target, above);
    if (!outcome.message.isEmpty())
        emit statusMessage(outcome.message);
    // The rows moved in the document already; the view has nothing to remove.
    return false;
}

} // namespace Plumbrook
