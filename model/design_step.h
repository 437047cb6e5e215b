#pragma once

#include "model/design_file.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUndoCommand>
#include <QVector>

namespace Plumbrook {

class DesignDocument;

// What undoing or redoing a step rewrote, for those who show the design.
struct DesignChange
{
    QSet<QString> ids;        // components whose cells changed, came or went
    QHash<QString, QSet<int>> columns;   // the columns that changed, by component
    QSet<int> carousels;      // carousel numbers whose settings changed
    bool structural = false;  // rows came or went
    bool module = false;      // the module record changed
    bool replaced = false;    // the whole design was put in place
    // How the change came: an operation done, a step undone or redone, a design opened.
    // Measured: what the background worker measured or a first placement wrote.
    enum Origin : quint8 { Done, Undone, Redone, Opened, Imported, Measured };
    Origin origin = Done;
    bool fromHistory() const { return origin == Undone || origin == Redone; }
    void merge(const DesignChange &other);
    QSet<QString> hidden;     // components shown or hidden on the canvas
};

// One named step of the design: the table's changes and the carousel settings'
// writes of one operation, in order, each with what it replaced.
class DesignStep : public QUndoCommand
{
public:
    struct Edit
    {
        enum Kind : quint8 { Cell, Insert, Remove, Replace, Carousel, Hidden };
        Kind kind = Cell;
        int row = -1;          // Cell, Insert, Remove; the number for Carousel; 1 for Hidden when it hides
        int column = -1;       // Cell
        QString before;        // Cell; the shrink amount for Replace
        QString after;
        QStringList cells;     // Insert, Remove; the ids whose flag Hidden turns
        QVector<QStringList> rowsBefore;   // Replace
        QVector<QStringList> rowsAfter;
        QMap<int, DesignFile::CarouselValues> carouselsBefore;   // Replace
        QMap<int, DesignFile::CarouselValues> carouselsAfter;
        QStringList hiddenBefore;   // Replace
        QStringList hiddenAfter;
        DesignFile::CarouselValues valuesBefore;   // Carousel
        DesignFile::CarouselValues valuesAfter;
    };

    // Steps of one typing merge while they share an id and a key.
    static constexpr int kTypingId = 1;

    DesignStep(DesignDocument *document, const QString &name, QVector<Edit> edits,
               int mergeId = -1, const QString &mergeKey = {});

    const QVector<Edit> &edits() const { return mEdits; }
    QVector<Edit> &edits() { return mEdits; }
    QString mergeKey() const { return mMergeKey; }

    // Joins edits into a journal, a cell written again keeping what it first replaced.
    static void append(QVector<Edit> &journal, Edit edit);

    void undo() override;
    void redo() override;
    int id() const override { return mMergeId; }
    bool mergeWith(const QUndoCommand *other) override;

private:
    void apply(bool forward);

    DesignDocument *mDocument;
    QVector<Edit> mEdits;
    int mMergeId;
    QString mMergeKey;
    bool mDone = true;   // the operation made its changes before the step was pushed
};

} // namespace Plumbrook

Q_DECLARE_METATYPE(Plumbrook::DesignChange)
