#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>

namespace Plumbrook {

class DesignDocument;

// What a component editor needs of the window it edits in: the design, and the few
// things only the view showing the design can do. The canvas side implements it, so
// that editors never reach the canvas or the main window themselves.
class EditorHost : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The design the editor reads its component from and writes it to.
    virtual DesignDocument *document() const = 0;

    // Where an editor of `size` stands, docked at the window's right edge.
    virtual QPoint editorPlace(const QSize &size) const = 0;
    virtual void showStatus(const QString &text) = 0;
    // The width box of the selection as the user typed it, saved or not.
    virtual QString widthBoxText() const = 0;

    // The own size of the picture the component shows; invalid while it shows none.
    virtual QSize pictureNaturalSize(const QString &componentId) const = 0;
    // Shows or hides the component's object for a look before saving; the design keeps it.
    virtual void setObjectShown(const QString &componentId, bool shown) = 0;
    // Called before a save changes the component, so that undoing it shows it as it looks now.
    virtual void rememberShown(const QString &componentId) = 0;
    // Fetches `url` in the background as the picture the component shows, the way the
    // components of `kind` are fetched.
    virtual void showPreview(const QString &componentId, const QString &url, const QString &kind) = 0;

signals:
    // The picture a component shows changed (a preview arrived, undo brought one back).
    void pictureChanged(const QString &componentId);
};

} // namespace Plumbrook
