#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QIcon>
#include <QPointer>
#include <QStringList>
#include <QVector>

#include <functional>

namespace Plumbrook {

class DesignDocument;

// The design's components as a list in the shop's stacking order, top first, a
// carousel's arrows beneath their carousel: a second view of the design document.
// Its toggles and dropped lines change the design through the document's steps.
class LayerListModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, ShownColumn, LockedColumn, ColumnCount };
    enum Role { IdRole = Qt::UserRole + 1, ZIndexRole };

    static inline const QString kMimeType = QStringLiteral("application/x-plumbrook-layers");

    explicit LayerListModel(DesignDocument *document, QObject *parent = nullptr);

    // The icon shown beside each kind (unset: none); icons are kept per kind.
    void setIconSource(std::function<QIcon(const QString &kind)> source);

    QString idAt(const QModelIndex &index) const;
    QModelIndex indexOfId(const QString &id, int column = NameColumn) const;
    // Every line's id, top first, each arrow after its carousel.
    QStringList lineIds() const;
    // Reads the stacking from the document now, rather than at the next turn of the event loop.
    void refresh();

    // A few words that tell one component from another of its kind: the text's
    // beginning, the picture's file name or the link.
    static QString shortLabel(const QStringList &cells);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

signals:
    void statusMessage(const QString &text);

private:
    struct Line
    {
        QString id;
        QStringList arrows;
        bool shaded = false;   // every other z-index level, so that the levels stand apart
    };

    void scheduleRefresh();
    void lineChanged(const QString &id);
    int rowOf(const QString &id) const;

    // The document's undo stack still signals while the document goes, after its table.
    QPointer<DesignDocument> mDocument;
    QVector<Line> mLines;
    // Where each id stands: its line, and its place among the arrows or -1.
    QHash<QString, std::pair<int, int>> mPlaces;
    std::function<QIcon(const QString &kind)> mIconSource;
    mutable QHash<QString, QIcon> mIcons;
    bool mStale = false;
};

} // namespace Plumbrook
