#pragma once

#include <QObject>
#include <QSet>
#include <QStringList>

namespace Plumbrook {

class DesignCanvas;
class DesignDocument;
struct DesignChange;

// Draws the canvas from the document after undo and redo: objects come and go
// with their rows and take their place, size, look and picture from the cells;
// pictures come from the cache of downloaded pictures or the kind's own picture.
class CanvasSync : public QObject
{
    Q_OBJECT

public:
    CanvasSync(DesignDocument *document, DesignCanvas *canvas, QObject *parent = nullptr);

private:
    void apply(const DesignChange &change);
    void matchObjectsToRows();
    void showRow(int row, bool created, const QSet<int> &columns);
    void showCarousels();
    void showModule();
    // Hidden components are not drawn, and so neither pressed nor selected on the canvas.
    void showHidden(const QStringList &ids);

    DesignDocument *mDocument;
    DesignCanvas *mCanvas;
};

} // namespace Plumbrook
