#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>
#include <QVector>

namespace Plumbrook {

// Told of every change of the table as it is made, with what it replaced, so that
// one step of the design can hold exactly the cells it changed.
class TableRecorder
{
public:
    virtual ~TableRecorder() = default;
    virtual void cellChanged(int row, int column, const QString &before, const QString &after) = 0;
    virtual void rowInserted(int row, const QStringList &cells) = 0;
    virtual void rowRemoved(int row, const QStringList &cells) = 0;
    virtual void rowsReplaced(const QVector<QStringList> &before, const QVector<QStringList> &after) = 0;
};

// The one store of the design: row 0 is the module record, then one row per component.
class ComponentTable : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        Id,          // 标识
        Kind,        // 备注
        Width,       // 宽度
        Height,      // 高度
        Left,        // 左边
        Top,         // 顶边
        Picture,     // 图片
        Link,        // 链接
        Text,        // 文字
        BgColor,     // 背景色
        Other,       // 其它
        Locked,      // 是否锁定
        Other1,      // 其它1
        Other2,      // 其它2
        BgCode,      // 背景代码
        Other4,      // 其它4
        Other5,      // 其它5
        Other6,      // 其它6
        Background,  // 背景
        ColumnCount
    };

    static const QStringList &columnNames();
    static int columnByName(const QString &name);   // -1 when unknown
    static QStringList initialModuleRecord();

    explicit ComponentTable(QObject *parent = nullptr);

    QString cell(int row, int column) const;
    int cellInt(int row, int column) const;
    void setCell(int row, int column, const QString &text);
    QStringList rowCells(int row) const;
    // All rows at once; an implicitly shared copy, cheap until the table changes.
    QVector<QStringList> rows() const { return mRows; }

    int count() const { return int(mRows.size()); }
    int componentCount() const { return count() - 1; }
    int findRowById(const QString &id) const;
    bool isLocked(int row) const;

    // Structural operations; only the canvas (and later undo and design files)
    // call these, always together with the matching canvas object.
    int appendRow(const QString &id, const QString &kind);
    void insertRowAt(int row, const QStringList &cells);
    void deleteRow(int row);
    void resetToModuleRecord();
    // Replaces every row (a model reset); an empty list leaves the initial module record.
    void replaceRows(const QVector<QStringList> &rows);

    // Process-wide creation counter: ids are never reused.
    int creationCounter() const { return mCounter; }
    void setCreationCounter(int value) { mCounter = value; }
    int takeNextId() { return ++mCounter; }

    void setRecorder(TableRecorder *recorder) { mRecorder = recorder; }

    // QAbstractItemModel
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void cellChanged(int row, int column, const QString &text);

private:
    QVector<QStringList> mRows;
    int mCounter = 0;
    TableRecorder *mRecorder = nullptr;
    mutable QHash<QString, int> mRowById;
    mutable bool mRowIndexValid = false;
};

} // namespace Plumbrook
