#include "model/component_table.h"

#include "model/text_ops.h"

#include <algorithm>

namespace Plumbrook {

const QStringList &ComponentTable::columnNames()
{
    static const QStringList names = {
        QStringLiteral("标识"), QStringLiteral("备注"), QStringLiteral("宽度"),
        QStringLiteral("高度"), QStringLiteral("左边"), QStringLiteral("顶边"),
        QStringLiteral("图片"), QStringLiteral("链接"), QStringLiteral("文字"),
        QStringLiteral("背景色"), QStringLiteral("其它"), QStringLiteral("是否锁定"),
        QStringLiteral("其它1"), QStringLiteral("其它2"), QStringLiteral("背景代码"),
        QStringLiteral("其它4"), QStringLiteral("其它5"), QStringLiteral("其它6"),
        QStringLiteral("背景"),
    };
    return names;
}

int ComponentTable::columnByName(const QString &name)
{
    return int(columnNames().indexOf(name));
}

QStringList ComponentTable::initialModuleRecord()
{
    QStringList cells(ColumnCount);
    cells[Id] = QStringLiteral("1");
    cells[Kind] = QStringLiteral("背景");
    cells[Width] = QStringLiteral("950");
    cells[Height] = QStringLiteral("500");
    cells[Left] = QStringLiteral("0");
    cells[Top] = QStringLiteral("0");
    cells[BgColor] = QStringLiteral("8445952");
    cells[Other] = QStringLiteral("2");
    return cells;
}

ComponentTable::ComponentTable(QObject *parent)
    : QAbstractTableModel(parent)
{
    setObjectName(QStringLiteral("超级列表框1"));
    mRows.append(initialModuleRecord());
}

QString ComponentTable::cell(int row, int column) const
{
    if (row < 0 || row >= mRows.size() || column < 0 || column >= ColumnCount)
        return {};
    return mRows.at(row).at(column);
}

int ComponentTable::cellInt(int row, int column) const
{
    return TextOps::toInt(cell(row, column));
}

void ComponentTable::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= mRows.size() || column < 0 || column >= ColumnCount)
        return;
    QString &target = mRows[row][column];
    if (target == text)
        return;
    if (mRecorder)
        mRecorder->cellChanged(row, column, target, text);
    target = text;
    if (column == Id)
        mRowIndexValid = false;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::EditRole});
    emit cellChanged(row, column, text);
}

QStringList ComponentTable::rowCells(int row) const
{
    if (row < 0 || row >= mRows.size())
        return QStringList(ColumnCount);
    return mRows.at(row);
}

int ComponentTable::findRowById(const QString &id) const
{
    if (!mRowIndexValid) {
        // Rebuilt after rows or ids changed, so that lookups stay cheap on large designs.
        mRowById.clear();
        mRowById.reserve(mRows.size());
        for (int row = int(mRows.size()) - 1; row >= 0; --row)
            mRowById.insert(mRows.at(row).at(Id), row);   // the first of equal ids wins
        mRowIndexValid = true;
    }
    return mRowById.value(id, -1);
}

bool ComponentTable::isLocked(int row) const
{
    return cell(row, Locked) == QStringLiteral("是");
}

int ComponentTable::appendRow(const QString &id, const QString &kind)
{
    QStringList cells(ColumnCount);
    cells[Id] = id;
    cells[Kind] = kind;
    const int row = int(mRows.size());
    insertRowAt(row, cells);
    return row;
}

void ComponentTable::insertRowAt(int row, const QStringList &cells)
{
    row = qBound(0, row, int(mRows.size()));
    QStringList padded = cells.mid(0, ColumnCount);
    while (padded.size() < ColumnCount)
        padded.append(QString());
    if (mRecorder)
        mRecorder->rowInserted(row, padded);
    beginInsertRows({}, row, row);
    if (row == mRows.size() && mRowIndexValid && !mRowById.contains(padded.at(Id)))
        mRowById.insert(padded.at(Id), row);
    else
        mRowIndexValid = false;
    mRows.insert(row, padded);
    endInsertRows();
}

void ComponentTable::deleteRow(int row)
{
    if (row < 0 || row >= mRows.size())
        return;
    if (mRecorder)
        mRecorder->rowRemoved(row, mRows.at(row));
    beginRemoveRows({}, row, row);
    mRowIndexValid = false;
    mRows.removeAt(row);
    endRemoveRows();
}

void ComponentTable::resetToModuleRecord()
{
    replaceRows({});
}

void ComponentTable::replaceRows(const QVector<QStringList> &rows)
{
    const QVector<QStringList> before = mRows;
    beginResetModel();
    mRowIndexValid = false;
    if (rows.isEmpty()) {
        mRows = {initialModuleRecord()};
    } else {
        mRows = rows;
        // Well-formed rows stay shared with the caller: only a short or long row detaches.
        const bool wellFormed = std::all_of(rows.cbegin(), rows.cend(), [](const QStringList &cells) {
            return cells.size() == ColumnCount;
        });
        if (!wellFormed) {
            for (QStringList &cells : mRows) {
                cells = cells.mid(0, ColumnCount);
                while (cells.size() < ColumnCount)
                    cells.append(QString());
            }
        }
    }
    endResetModel();
    if (mRecorder)
        mRecorder->rowsReplaced(before, mRows);
}

int ComponentTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(mRows.size());
}

int ComponentTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(ColumnCount);
}

QVariant ComponentTable::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return cell(index.row(), index.column());
}

QVariant ComponentTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return columnNames().value(section);
    return section;
}

bool ComponentTable::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid())
        return false;
    setCell(index.row(), index.column(), value.toString());
    return true;
}

Qt::ItemFlags ComponentTable::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

} // namespace Plumbrook
