#pragma once

#include <QByteArray>
#include <QLabel>
#include <QPixmap>

class QPainter;

namespace Plumbrook {

// A component's picture on the canvas: one picture scaled to the object's size,
// or a placeholder where there is no picture to show.
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
    // Returns false, and shows nothing usable, when the bytes do not decode.
    bool setPictureData(const QByteArray &bytes);
    // The same with the picture already decoded from the bytes, so that many
    // objects showing one picture decode it once and share it; `scaled`, when made
    // at the object's size elsewhere, spares the first paint that work.
    void setPictureData(const QByteArray &bytes, const QImage &decoded, const QImage &scaled = {});
    QByteArray pictureData() const { return mData; }
    bool hasPicture() const { return !mImage.isNull(); }
    QImage image() const { return mImage; }

    QString tag() const { return property("tag").toString(); }

    // The picture scaled to `size`, made once for every object showing that picture
    // at that size; the scaled copies of all objects together stay within a limit.
    static QPixmap scaledPicture(const QImage &image, const QSize &size);
    // The scaling itself, which any thread may do.
    static QImage scaledImage(const QImage &image, const QSize &size);

    // What lies under a hotspot shows through its fill.
    static constexpr qreal kHotspotOpacity = 0.35;
    static const QString kUnavailableText;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintPlaceholder(QPainter &painter) const;

    QByteArray mData;
    QImage mImage;
    QString mKind;
};

} // namespace Plumbrook
