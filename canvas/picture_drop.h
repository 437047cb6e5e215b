#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QStringList>

class QLabel;
class QMimeData;
class QPushButton;

namespace Plumbrook {

class DesignCanvas;

// Turns picture addresses and picture files dropped or pasted onto the canvas into picture
// components at their pictures' own size, stacked downward from where they were let go,
// and offers to grow the module when they run past its bottom.
class PictureDrop : public QObject
{
    Q_OBJECT

public:
    // `statusLine` carries the offer's "确定" at its right end.
    PictureDrop(DesignCanvas *canvas, QLabel *statusLine, QObject *parent = nullptr);

    // The picture addresses in dragged or copied data: its address list, else the pictures
    // of its HTML, else the addresses and file paths in its plain text. Files come as
    // "file:///…" addresses.
    static QStringList addressesIn(const QMimeData *mime);

    // Loads the pictures in the background and adds those that load at `modulePoint`
    // (module pixels), one below the other, as one step.
    void place(const QStringList &addresses, const QPoint &modulePoint);
    // Ctrl+V: the clipboard's addresses at the pointer, or at the view's top-left when the
    // pointer is elsewhere; false when the clipboard holds none.
    bool pasteClipboard();

    // Module pixels under a point of the surface.
    QPoint modulePointAt(const QPoint &surfacePos) const;
    // The offer's button; hidden while nothing is offered.
    QPushButton *growButton() const { return mGrow; }
    int offeredHeight() const { return mOfferedHeight; }

signals:
    // Components were added (or none could be: 0) for a drop or paste.
    void placed(int count);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Loaded;
    void finish(const QStringList &addresses, const QList<Loaded> &loaded, const QPoint &at);
    void offerHeight(int height);
    void growModule();

    DesignCanvas *mCanvas;
    QPointer<QLabel> mStatusLine;
    QPushButton *mGrow;
    int mOfferedHeight = 0;
};

} // namespace Plumbrook
