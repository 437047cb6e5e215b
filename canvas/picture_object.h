#pragma once

#include <QByteArray>
#include <QLabel>
#include <QPixmap>

namespace Plumbrook {

// A component's picture on the canvas: one picture scaled to the object's size, decoded
// at the size it is shown within the canvas's budget of decoded pictures, or a
// placeholder where there is no picture to show.
class PictureObject : public QLabel
{
    Q_OBJECT

public:
    explicit PictureObject(QWidget *parent = nullptr);

    // The component's kind, which the placeholder names and which decides how
    // the picture is drawn.
    void setKind(const QString &kind);
    QString kind() const { return mKind; }

    // Keeps the bytes so that a copy of the component shows the same picture.
    // Returns false, and shows nothing usable, when the bytes are no picture.
    bool setPictureData(const QByteArray &bytes);
    // The same with the picture's own size known, and maybe `shown` already decoded
    // elsewhere at the size the object shows it, which spares the first paint that work.
    void setPictureData(const QByteArray &bytes, const QSize &natural, const QImage &shown = {});
    QByteArray pictureData() const { return mData; }
    bool hasPicture() const { return mNatural.isValid(); }
    // The picture's own size in pixels; invalid without a picture.
    QSize naturalSize() const { return mNatural; }
    // The whole picture at its own size, decoded now (not kept).
    QImage image() const;
    // Device pixels the object is shown at now.
    QSize shownPixels() const;

    QString tag() const { return property("tag").toString(); }

    // Decodes now, in the caller's time, what the next paint of an object in view
    // would otherwise decode, so that the paint is a copy.
    void prepareShown();

    // The scaling itself, which any thread may do.
    static QImage scaledImage(const QImage &image, const QSize &size);

    // What lies under a hotspot shows through its fill.
    static constexpr qreal kHotspotOpacity = 0.35;
    static const QString kUnavailableText;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void decodeLater(const QSize &size);
    // The picture as the next paint shows it; null while a large one is decoded elsewhere.
    QImage shownImage();
    QImage placeholderImage() const;

    QByteArray mData;
    quint64 mKey = 0;
    QSize mNatural;
    // The size of a decode on its way, so that repaints meanwhile do not ask again.
    QSize mAwaited;
    QString mKind;
};

} // namespace Plumbrook
