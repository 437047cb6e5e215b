#pragma once

#include "canvas/selection_handles.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QLabel;
class QLineEdit;

namespace Plumbrook {

class CanvasSurface;
class ComponentTable;
class PictureObject;

// The design page: canvas objects linked to their rows, the module background
// sprite, the selection and its display. Structural changes of the design (adding
// and deleting components) go through here so rows and objects stay in step.
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

    DesignCanvas(ComponentTable *table, CanvasSurface *surface, PictureObject *pictureTemplate,
                 QLabel *labelTemplate, const SelectionHandles &handles, QObject *parent = nullptr);

    ComponentTable *table() const { return mTable; }
    CanvasSurface *surface() const { return mSurface; }
    SelectionHandles &handles() { return mHandles; }
    PictureObject *pictureTemplate() const { return mPictureTemplate; }
    QLabel *labelTemplate() const { return mLabelTemplate; }

    // The add operations: a canvas object and its row, returning the row index.
    int addPictureComponent(const QString &kind, const QByteArray &picture, int sourceRow,
                            int width, int height);
    int addTextComponent();
    // Removes a component's row and destroys its canvas object.
    void deleteComponent(QWidget *object);
    // A hidden canvas object for a row that already exists (opening a design,
    // undo); the caller sizes, pictures and shows it.
    PictureObject *createPictureObject(const QString &id);
    QLabel *createTextLabel(const QString &id);

    QWidget *objectById(const QString &id) const;
    PictureObject *pictureById(const QString &id) const;
    QLabel *labelById(const QString &id) const;
    bool setObjectPicture(const QString &id, const QByteArray &bytes);
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

    Selection &selection() { return mSelection; }
    QWidget *selectedObject() const;
    int selectedRow() const;   // -1 when none
    void setGeometryBoxes(const std::array<QLineEdit *, 4> &boxesLTWH) { mBoxes = boxesLTWH; }
    void refreshSelectionDisplay(QWidget *object);
    void liftCarouselArrows(int carouselRow);

    QString moduleStatusText() const;
    QString selectionStatusText(int row) const;

    void setScreenWidthSource(std::function<int()> source) { mScreenWidth = std::move(source); }
    int screenWidth() const { return mScreenWidth ? mScreenWidth() : 1920; }
    // Receives the pointer events of every canvas object created from now on.
    void setObjectEventFilter(QObject *filter) { mObjectFilter = filter; }

signals:
    void statusMessage(const QString &text);
    void componentAdded(int row);
    void componentDeleted(const QString &id);
    void objectPictureChanged(const QString &id);

private:
    void writePlace(int row, const QWidget *object);

    ComponentTable *mTable;
    CanvasSurface *mSurface;
    PictureObject *mPictureTemplate;
    QLabel *mLabelTemplate;
    SelectionHandles mHandles;
    std::array<QLineEdit *, 4> mBoxes{};
    QList<QPointer<PictureObject>> mPictures;
    QList<QPointer<QLabel>> mLabels;
    int mBackgroundId = 0;
    Selection mSelection;
    std::function<int()> mScreenWidth;
    QObject *mObjectFilter = nullptr;
};

} // namespace Plumbrook
