#pragma once

#include <QObject>
#include <QSet>
#include <QStringList>

namespace Plumbrook {

class DesignCanvas;
class DesignDocument;
struct DesignChange;

// The one code that makes the canvas show the document: objects come and go with
// their rows, and take their place on the module, size, stacking, look and picture
// from the cells, the same way whether a change was done, undone, redone, opened or
// imported. Pictures come from the cache of downloaded pictures or the kind's own.
class CanvasSync : public QObject
{
    Q_OBJECT

public:
    CanvasSync(DesignDocument *document, DesignCanvas *canvas, QObject *parent = nullptr);

    // Puts every object where its cells place it on the module as the module stands now.
    void placeAll();

private:
    void apply(const DesignChange &change);
    QSet<QString> matchObjectsToRows(const QSet<QString> &ids);
    void showRow(int row, bool created, const QSet<int> &columns, bool fromHistory);
    void showCarousels(bool fromHistory);
    void showModule();
    // Hidden components are not drawn, and so neither pressed nor selected on the canvas.
    void showHidden(const QStringList &ids);

    DesignDocument *mDocument;
    DesignCanvas *mCanvas;
};

} // namespace Plumbrook
