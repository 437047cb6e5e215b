#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QStringList>

namespace Plumbrook {

class DesignCanvas;
struct DesignChange;

// Builds a design's canvas objects and retires the old ones a slice at a time once
// a design is large, so that the window keeps answering while it comes in.
class CanvasBuilder : public QObject
{
    Q_OBJECT

public:
    // The canvas's builder, made on first use and gone with the canvas.
    static CanvasBuilder *of(DesignCanvas *canvas);

    // Takes every object off the canvas at once; many are deleted a slice at a time.
    void retireAll();
    // Builds the objects of `ids`, in the order they stack, then starts their previews.
    void start(const QStringList &ids);

    // Until finished(): objects still to be made, or previews still to be started.
    bool isBuilding() const { return mNext < mIds.size() || mStarted < mIds.size(); }
    int builtCount() const { return int(mNext); }
    int totalCount() const { return int(mIds.size()); }

    // Designs up to `atOnce` components are built at once; larger ones in slices of
    // a few milliseconds, and of at most `perSlice` objects.
    static void setSlicing(int atOnce, int perSlice);

signals:
    void progressed(int built, int total);
    void finished();

private:
    explicit CanvasBuilder(DesignCanvas *canvas);

    void buildSlice();
    void buildOne(const QString &id);
    void startSlice();
    void startPreview(const QString &id);
    bool deleteSlice();
    void noteChange(const DesignChange &change);

    DesignCanvas *mCanvas;
    QStringList mIds;
    qsizetype mNext = 0;      // the next object to make
    qsizetype mStarted = 0;   // the next preview to start, once all objects are made
    QHash<QString, QPair<QByteArray, QSize>> mBuiltins;
    QList<QPointer<QWidget>> mRetired;
    // Objects made by the document's changes meanwhile may lie out of the stacking.
    bool mDisturbed = false;
};

} // namespace Plumbrook
