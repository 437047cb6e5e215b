#include "canvas/canvas_picture_sizes.h"

#include "canvas/design_canvas.h"
#include "canvas/picture_object.h"
#include "canvas/preview_download.h"

namespace Plumbrook {

CanvasPictureSizes::CanvasPictureSizes(const DesignCanvas *canvas)
    : mCanvas(canvas)
{
}

PictureSizes::Answer CanvasPictureSizes::sizeOf(const QString &url) const
{
    const Answer downloaded = fromBytes(PreviewDownload::cached(url));
    if (downloaded.state != Answer::Unknown || !mCanvas)
        return downloaded;

    if (!mIndexed) {
        mIndexed = true;
        for (PictureObject *picture : mCanvas->pictureObjects()) {
            const QVariant shown = picture->property("previewUrl");
            if (shown.isValid())
                mShowing.insert(shown.toString(), picture);
        }
    }
    // A download that brought nothing, or nothing that decodes, leaves its object
    // without a picture; one on its way leaves the kind's own picture meanwhile.
    const PictureObject *picture = mShowing.value(url);
    if (picture && !picture->hasPicture() && PreviewDownload::pending() == 0)
        return {Answer::Failed, {}};
    return {};
}

} // namespace Plumbrook
