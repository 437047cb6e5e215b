#include "canvas/preview_download.h"
#include "canvas/window_editor_host.h"

#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "canvas/picture_object.h"

#include <QLineEdit>

namespace Plumbrook {

WindowEditorHost::WindowEditorHost(MainWindow *main, QLineEdit *widthBox)
    : EditorHost(main)
    , mMain(main)
    , mWidthBox(widthBox)
{
    connect(main->canvas(), &DesignCanvas::objectPictureChanged, this, &EditorHost::pictureChanged);
}

DesignDocument *WindowEditorHost::document() const
{
    return mMain->document();
}

QPoint WindowEditorHost::editorPlace(const QSize &size) const
{
    return {mMain->x() + mMain->width() - size.width() - 5, mMain->y() + 52};
}

void WindowEditorHost::showStatus(const QString &text)
{
    mMain->showStatus(text);
}

QString WindowEditorHost::widthBoxText() const
{
    return mWidthBox ? mWidthBox->text() : QString();
}

QSize WindowEditorHost::pictureNaturalSize(const QString &componentId) const
{
    const PictureObject *picture = mMain->canvas()->pictureById(componentId);
    return picture ? picture->naturalSize() : QSize();
}

void WindowEditorHost::setObjectShown(const QString &componentId, bool shown)
{
    if (QWidget *object = mMain->canvas()->objectById(componentId))
        object->setVisible(shown);
}

void WindowEditorHost::rememberShown(const QString &componentId)
{
    mMain->canvas()->rememberShown(componentId);
}

void WindowEditorHost::showPreview(const QString &componentId, const QString &url, const QString &kind)
{
    DesignCanvas *canvas = mMain->canvas();
    const PreviewDownload::Fetch fetch = canvas->previewFetch();
    // Saved again, the picture may have changed on the server since it was last asked about.
    PreviewDownload::forgetRevalidation(url);
    PreviewDownload::start(canvas, componentId, url, fetch ? fetch : PreviewDownload::fetchOf(kind));
}

} // namespace Plumbrook
