#pragma once

#include "canvas/preview_download.h"
#include "canvas/selection_handles.h"

#include <QFont>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QLabel;
class QLineEdit;

namespace Plumbrook {

class CanvasSurface;
class ComponentTable;
class DesignDocument;
class PictureObject;
class SelectionFrame;

// The design page: canvas objects linked to their rows, the module background
// sprite, the selection and its display. It writes no cell: objects come, go and
// take their places as the document's changes say (CanvasSync).
class DesignCanvas : public QObject
{
    Q_OBJECT

public:
    struct Selection {
        enum Kind { None, Picture, Text, Background };
        Kind kind = None;
        QPointer<PictureObject> picture;
        QPointer<QLabel> text;
        int backgroundId = 0;
        bool unlocked = false;
        QPoint grabOffset;
    };

    DesignCanvas(DesignDocument *document, CanvasSurface *surface, PictureObject *pictureTemplate,
                 QLabel *labelTemplate, const SelectionHandles &handles, QObject *parent = nullptr);

    DesignDocument *document() const { return mDocument; }
    ComponentTable *table() const { return mTable; }
    CanvasSurface *surface() const { return mSurface; }
    SelectionHandles &handles() { return mHandles; }
    PictureObject *pictureTemplate() const { return mPictureTemplate; }
    QLabel *labelTemplate() const { return mLabelTemplate; }

    // Where a new component of the kind appears on the module: the place of the
    // hidden template it is drawn like.
    QPoint newComponentPlace(const QString &kind) const;
    // Adds a component of the kind there, as the palette does; returns its row.
    int addComponent(const QString &kind);
    // Copies show the picture their source shows, for the same address.
    void showSourcePictures(const QStringList &copies, const QStringList &sources);
    // Destroys a canvas object whose row is gone already (undo, a design put in place),
    // remembering its picture or look and its place in the stacking unless told not to.
    // Without `deleteLater` the caller deletes the hidden object.
    void destroyObject(QWidget *object, bool remember = true, bool deleteLater = true);
    // Takes every canvas object off at once, as destroyObject() does one without
    // remembering it, and hands them over hidden for the caller to delete.
    QList<QWidget *> takeAllObjects();
    // A hidden canvas object for a row that already exists (opening a design,
    // undo); the caller sizes, pictures and shows it.
    PictureObject *createPictureObject(const QString &id, const QString &kind);
    QLabel *createTextLabel(const QString &id);

    QWidget *objectById(const QString &id) const;
    PictureObject *pictureById(const QString &id) const;
    QLabel *labelById(const QString &id) const;
    bool setObjectPicture(const QString &id, const QByteArray &bytes);
    // The same with the picture's own size read, and maybe the picture decoded at the
    // size it is shown, on another thread.
    void setObjectPicture(const QString &id, const QByteArray &bytes, const QSize &natural,
                          const QImage &shown);
    // The picture a component showed when its object went, for when undo brings it back.
    QByteArray rememberedPicture(const QString &id) const { return mPictureMemory.value(id); }
    // Puts a component brought back where it lay among the others when it went, with
    // the place and size it had on the module then; false when it never went.
    bool restoreGone(QWidget *object) const;
    void forgetPictures() { mPictureMemory.clear(); mLooks.clear(); mAbove.clear(); mGoneFrames.clear(); }
    // How a component looks with the cells it has now (a label's look, the picture
    // for its preview URL), so that undo shows it so again; a component destroyed is
    // remembered as it last looked.
    void rememberShown(const QString &id);
    void rememberPicture(const PictureObject *picture, const QString &url);
    QString shownUrl(const PictureObject *picture) const;
    bool pictureShownFor(const QString &id, const QString &url, QByteArray *bytes) const;
    void rememberLook(QLabel *label, const QStringList &cells);
    bool restoreLook(QLabel *label, const QStringList &cells) const;
    bool restoreLastLook(QLabel *label) const;
    // How previews of the design are fetched (unset: plain downloads).
    void setPreviewFetch(PreviewDownload::Fetch fetch) { mFetch = std::move(fetch); }
    PreviewDownload::Fetch previewFetch() const { return mFetch; }
    QList<PictureObject *> pictureObjects() const;
    QList<QLabel *> textLabels() const;
    QList<QWidget *> allObjects() const;   // pictures then labels, each in creation order
    static QString tagOf(const QObject *object);

    // The module background sprite.
    int backgroundId() const { return mBackgroundId; }
    QPoint backgroundPos() const;
    void moveBackground(const QPoint &pos);
    bool setBackgroundPicture(const QByteArray &bytes);
    QSize backgroundPictureSize() const;
    void centreBackground(int pictureWidth);
    // The canvas width the layout gives, which a module is centred on; the canvas
    // itself may be wider for a wide module.
    void setLayoutWidth(int width) { mLayoutWidth = width; }

    Selection &selection() { return mSelection; }
    // Selects a component (or the module background, or nothing) here and in the document.
    void select(Selection::Kind kind, QWidget *object = nullptr);
    void clearSelection();
    // The component the handles are drawn around, which they resize.
    QWidget *handlesTarget() const { return mHandlesTarget; }
    // True while the selection display writes the boxes, which is no typing.
    bool fillingBoxes() const { return mFillingBoxes; }
    QWidget *selectedObject() const;
    int selectedRow() const;   // -1 when none
    void setGeometryBoxes(const std::array<QLineEdit *, 4> &boxesLTWH) { mBoxes = boxesLTWH; }
    // Without `announce` the status line keeps what it shows.
    void refreshSelectionDisplay(QWidget *object, bool announce = true);
    // Writes the place a component of an older design is shown at into its empty cells.
    void placeFirstTime(QWidget *object);
    // Every selected component's object, in the order they were selected.
    QList<QWidget *> selectedObjects() const;
    // Makes `objects` the selection, the first the one the boxes and editors act on.
    void selectObjects(const QList<QWidget *> &objects);
    // Adds a component to the selection or takes it out.
    void toggleSelected(QWidget *object);
    // Shows the selection: the handles and boxes for the first one, and a frame
    // around them all when there are several.
    void showSelection(bool announce = true);
    QRect selectionBounds() const;
    // An object's place and size on the module, as its row keeps them.
    QRect moduleFrameOf(const QWidget *object) const;
    // Puts an object where the code stacks it: by its kind's z-index, then by row,
    // a carousel's arrows just above their carousel.
    void stackInPlace(QWidget *object) const;
    void restackAll() const;
    bool isLockedObject(const QWidget *object) const;
    void liftCarouselArrows(int carouselRow);
    // `objects` and, after them, the arrows of the carousels among them that are not
    // among them already: a carousel is moved, aligned and deleted with its arrows.
    QList<QWidget *> withCarouselArrows(const QList<QWidget *> &objects) const;

    // The zoom, in screen pixels per canvas pixel. Every place and size the design
    // keeps is in canvas pixels; the objects' widgets show them scaled.
    double zoom() const { return mZoom; }
    // Clamps to what can be shown and places every object and the selection for it.
    void setZoom(double zoom);
    // An object's frame in canvas pixels (the module's corner lies at backgroundPos()).
    QRect frameOf(const QWidget *object) const;
    QVector<QRect> framesOf(const QList<QWidget *> &objects) const;
    void setFrame(QWidget *object, const QRect &frame) const;
    void moveObject(QWidget *object, const QPoint &topLeft) const;
    // A text label's font at 100 %, whatever the zoom shows it at.
    QFont labelFont(const QLabel *label) const;
    void setLabelFont(QLabel *label, const QFont &font) const;
    // A label whose font was set from elsewhere shows it at the zoom.
    void followFont(QLabel *label) const;
    // Where an object is shown, in the coordinates of the canvas's container.
    QRect shownFrame(const QWidget *object) const;
    // The layer every object lies on, which alone moves while the module is panned.
    QWidget *objectLayer() const;
    // Pans every object by `canvasDelta` since the pan began, by moving their layer.
    void panObjects(const QPoint &canvasDelta);
    // Folds the layer's pan into the objects' own places, when the pan ends.
    void settlePan();

    QString moduleStatusText() const;
    QString selectionStatusText(int row) const;

    void setScreenWidthSource(std::function<int()> source) { mScreenWidth = std::move(source); }
    int screenWidth() const { return mScreenWidth ? mScreenWidth() : 1920; }
    // Receives the pointer events of every canvas object created from now on.
    void setObjectEventFilter(QObject *filter) { mObjectFilter = filter; }

signals:
    void statusMessage(const QString &text);
    void objectPictureChanged(const QString &id);
    // The module background was put in its place for its size.
    void modulePlaced();
    void zoomChanged(double zoom);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:

    DesignDocument *mDocument;
    ComponentTable *mTable;
    CanvasSurface *mSurface;
    PictureObject *mPictureTemplate;
    QLabel *mLabelTemplate;
    SelectionHandles mHandles;
    SelectionFrame *mFrame;
    std::array<QLineEdit *, 4> mBoxes{};
    QList<QPointer<PictureObject>> mPictures;
    QList<QPointer<QLabel>> mLabels;
    // Arriving pictures and the table's rows find their objects by id.
    QHash<QString, QPointer<PictureObject>> mPictureById;
    QHash<QString, QPointer<QLabel>> mLabelById;
    // How many objects there are of each z-index, so that a new object of the highest
    // one need not look for the object to lie under.
    mutable QHash<int, int> mZCounts;
    int mBackgroundId = 0;
    int mLayoutWidth = 0;
    double mZoom = 1.0;
    QPoint mPanDelta;   // canvas pixels the layer is moved by in a pan not yet settled
    mutable bool mSettingFont = false;
    // The frame each object was last placed at away from 100 % and the widget geometry
    // that shows it, so that a zoom that rounds does not lose the exact frame.
    struct Placed
    {
        QRect frame;
        QRect shown;
    };
    mutable QHash<const QWidget *, Placed> mPlaced;
    Selection mSelection;
    QPointer<QWidget> mHandlesTarget;
    bool mFillingBoxes = false;
    struct LabelLook
    {
        QString text;
        QFont font;
        Qt::Alignment alignment;
        QString styleSheet;
    };
    void countZ(QWidget *object, const QString &id);
    void remember(const QString &key, const QLabel *label);
    void rememberGone(QWidget *object);
    bool restore(const QString &key, QLabel *label) const;

    QHash<QString, QByteArray> mPictureMemory;   // by id when gone, by id and URL when shown
    QHash<QString, LabelLook> mLooks;
    QHash<QString, QString> mAbove;   // the object that lay above a destroyed one
    QHash<QString, QRect> mGoneFrames;   // on the module, by id
    PreviewDownload::Fetch mFetch;
    std::function<int()> mScreenWidth;
    QObject *mObjectFilter = nullptr;
};

} // namespace Plumbrook
