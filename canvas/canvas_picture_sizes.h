#pragma once

#include "codegen/picture_sizes.h"

#include <QHash>
#include <QPointer>

namespace Plumbrook {

class DesignCanvas;
class PictureObject;

// The natural sizes of the pictures the designer has fetched in this run: the bodies
// downloaded last, else what the canvas objects showing an address hold.
class CanvasPictureSizes : public PictureSizes
{
public:
    explicit CanvasPictureSizes(const DesignCanvas *canvas);

    Answer sizeOf(const QString &url) const override;

private:
    const DesignCanvas *mCanvas;
    // Filled on the first question that the downloads cannot answer.
    mutable QHash<QString, QPointer<PictureObject>> mShowing;
    mutable bool mIndexed = false;
};

} // namespace Plumbrook
