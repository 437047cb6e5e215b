#include "codegen/picture_sizes.h"

#include <QBuffer>
#include <QImageReader>

namespace Plumbrook {

namespace {

PictureSizes::Answer answerFrom(QIODevice *device)
{
    using Answer = PictureSizes::Answer;
    QImageReader reader(device);
    const QSize size = reader.size();
    if (size.isValid() && !size.isEmpty())
        return {Answer::Loaded, size};
    // Some formats tell their size only once decoded.
    const QImage image = reader.read();
    if (image.isNull())
        return {Answer::Failed, {}};
    return {Answer::Loaded, image.size()};
}

} // namespace

PictureSizes::Answer PictureSizes::fromBytes(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return answerFrom(&buffer);
}

} // namespace Plumbrook
