#pragma once

#include "model/component_table.h"
#include "model/design_file.h"
#include "model/design_step.h"

#include <QHash>
#include <QSet>
#include <QObject>
#include <functional>

class QUndoStack;

namespace Plumbrook {

class DesignSelection;

// The design being edited: its component table, its carousels' settings, the
// selection and the one undo stack on which every change of the design is a
// named step.
class DesignDocument : public QObject, private TableRecorder
{
    Q_OBJECT

public:
    explicit DesignDocument(QObject *parent = nullptr);
    ~DesignDocument() override;

    ComponentTable *table() const { return mTable; }
    QUndoStack *undoStack() const { return mStack; }
    DesignSelection *selection() const { return mSelection; }

    // The design as a design file holds it.
    DesignFile::Design design() const;
    // The shrink amount the design's code was made with, when it came from a design file
    // or from module code; empty for none. It goes and comes back with the design.
    QString shrink() const { return mShrink; }
    // As a step undone or redone puts it back.
    void setShrink(const QString &shrink) { mShrink = shrink; }

    // The guides on the module: vertical ones at module x, horizontal ones at module y.
    // They go and come with the design's file; placing one is no step of the design.
    QVector<int> guidesX() const { return mGuidesX; }
    QVector<int> guidesY() const { return mGuidesY; }
    void setGuides(const QVector<int> &x, const QVector<int> &y);
    // Hidden components are left off the canvas only: the code still has them.
    bool isHidden(const QString &id) const { return mHidden.contains(id); }
    // The hidden among the components the table has, in row order.
    QStringList hiddenIds() const;
    // Hides or shows components; inside an operation the change is part of its step.
    void setHidden(const QStringList &ids, bool hidden);
    // Exactly `ids` hidden, as a design put in place or a step undone says.
    void putHidden(const QStringList &ids);

    // Runs `operation`, which writes the table and the carousels' settings in its own
    // order, and pushes what it changed as one step named `name`. Steps with the same
    // `mergeId` and a non-empty `mergeKey` pushed one after the other become one step.
    // An operation run inside another one is part of the outer step. Nothing is
    // pushed when nothing changed; returns whether anything changed.
    bool record(const QString &name, const std::function<void()> &operation, int mergeId = -1,
                const QString &mergeKey = {});
    bool isRecording() const { return mDepth > 0; }

    // The one way to write the table outside an operation: what the background
    // worker measured and a first placement of a component from an older design
    // belong to the step they follow, and are announced like any change. Any other
    // write outside a step is a fault, fatal where stray writes are checked.
    void writeUnstepped(const std::function<void()> &write);
    // Whether a stray write stops the program: always in debug builds, and where
    // PLUMBROOK_CHECK_WRITES is set in the environment (the test suite sets it).
    static bool strayWritesFatal();
    static void setStrayWritesFatal(bool fatal);

    // Puts a whole design in place of the current one as one step named `name`
    // (importing module code): undoing it brings the previous design back.
    void replaceDesign(const QString &name, const DesignFile::Design &design);
    // Puts a whole design in place and forgets every step ("新建", "打开…").
    void resetDesign(const DesignFile::Design &design);

    // Unsaved changes are the steps since the last save.
    bool isModified() const;
    void markSaved();
    // Counts every change of the design, stepped or not, so that a save finishing
    // later can tell whether the design is still the one it wrote.
    quint64 revision() const { return mRevision; }
    // The design as it stood at `revision` is in its file now: it is the saved state
    // when nothing changed since, else no state of the history is.
    void markSavedAt(quint64 revision);

    // Carousel settings are the design's: the settings files are only their mirror,
    // written from here and never read back, so that two designers sharing one program
    // folder cannot save each other's carousels.
    // The document holding `table`, or nullptr for a table of no document.
    static DesignDocument *of(const ComponentTable &table);
    // Every settings key of carousel `number`, in the file's order; empty values for one
    // the design does not know.
    DesignFile::CarouselValues carousel(int number) const;
    QString carouselValue(int number, const QString &key) const;
    // Part of the operation being recorded (or of the step it follows); the mirror file
    // is written on the files lane. False when the mirror's folder cannot be written;
    // the design holds the values all the same.
    bool writeCarousel(int number, const DesignFile::CarouselValues &values);
    // As undo or redo puts them back: not recorded, mirrored.
    void applyCarousel(int number, const DesignFile::CarouselValues &values);

    // While a step is undone or redone its own writes are not recorded.
    class ApplyingGuard
    {
    public:
        explicit ApplyingGuard(DesignDocument *document);
        ~ApplyingGuard();

    private:
        DesignDocument *mDocument;
    };

signals:
    // Undo or redo rewrote the design; whatever shows it reads the changed parts again.
    void stepApplied(const DesignChange &change);
    // The whole design was put in place without a step ("新建", "打开…").
    void designReset();
    void guidesChanged();
    // Every change of the design, whatever made it: an operation's step pushed, a step
    // undone or redone, a design opened or imported. Whatever shows the design follows
    // this signal alone.
    void changed(const DesignChange &change);
    // Components were hidden or shown, by a change or by undo and redo.
    void hiddenChanged(const QStringList &ids);

private:
    void cellChanged(int row, int column, const QString &before, const QString &after) override;
    void rowInserted(int row, const QStringList &cells) override;
    void rowRemoved(int row, const QStringList &cells) override;
    void rowsReplaced(const QVector<QStringList> &before, const QVector<QStringList> &after) override;
    void carouselWriting(int number, const DesignFile::CarouselValues &values);
    void putDesign(const DesignFile::Design &design);
    // Where the table's changes go now: the operation's journal, the step the change
    // follows, or nowhere while a step is undone or redone.
    QVector<DesignStep::Edit> *journal();
    // Notes what a write changed, for the change announced when its operation ends.
    void noteWrite(int row, int column);
    void announcePending(DesignChange::Origin origin = DesignChange::Done);

    DesignChange mPending;
    int mUnstepped = 0;

    ComponentTable *mTable;
    QUndoStack *mStack;
    DesignSelection *mSelection;
    QVector<DesignStep::Edit> mJournal;
    // Where in the journal each cell written since its last other edit lies, by row and column.
    QHash<quint64, int> mJournalCells;
    int mDepth = 0;
    int mApplying = 0;
    quint64 mRevision = 0;
    QString mShrink;
    QVector<int> mGuidesX;
    QVector<int> mGuidesY;
    // By id: a deleted component keeps its flag for the undo that brings it back.
    QSet<QString> mHidden;
    void putCarousels(const DesignFile::Design &design);
    QHash<int, QHash<QString, QString>> mCarousels;
};

} // namespace Plumbrook
