#pragma once

#include <QImage>
#include <QMap>
#include <QWidget>

namespace Plumbrook {

// The design page's sprite surface: a grid drawn on its background and sprites
// with ids, positions and pictures; pointer events name the sprite under them.
// Sprites and the grid live in canvas pixels and are drawn at the surface's scale;
// pointer events carry the surface's own (screen) pixels.
class CanvasSurface : public QWidget
{
    Q_OBJECT

public:
    explicit CanvasSurface(QWidget *parent = nullptr);

    int createSprite(const QPoint &pos);                 // ids run 1, 2, 3, …
    bool setSpritePicture(int id, const QByteArray &bytes);  // false when undecodable
    void setSpriteImage(int id, const QImage &image);
    QImage spriteImage(int id) const;
    QSize spritePictureSize(int id) const;   // 0 × 0 without a picture
    QPoint spritePos(int id) const;
    void moveSprite(int id, const QPoint &pos);
    int spriteAt(const QPoint &pos) const;   // 0 when none

    // Screen pixels per canvas pixel.
    double scale() const { return mScale; }
    void setScale(double scale);
    // The layer the canvas objects share, kept as large as the surface.
    void setObjectLayer(QWidget *layer);
    QWidget *objectLayer() const { return mLayer; }

    void drawGrid();
    // Canvas pixels between the grid's lines (1 to 100), which start at the module's corner.
    int gridSize() const { return mGrid; }
    void setGridSize(int pixels);
    // The keys held at the last pointer press or release on the surface.
    Qt::KeyboardModifiers lastModifiers() const { return mModifiers; }   // redraws the grid for the current size

    static QImage decodePicture(const QByteArray &bytes);

signals:
    void pressed(Qt::MouseButton button, const QPoint &pos, int spriteId);
    void moved(const QPoint &pos, Qt::MouseButtons buttons);
    void released(Qt::MouseButton button, const QPoint &pos, int spriteId);
    void spritePictureChanged(int id);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Sprite {
        QPoint pos;
        QImage image;
    };
    QRect shownRect(const Sprite &sprite) const;

    double mScale = 1.0;
    QWidget *mLayer = nullptr;
    QMap<int, Sprite> mSprites;
    int mNextId = 1;
    QSize mGridSize;
    int mGrid = 20;
    Qt::KeyboardModifiers mModifiers;
};

} // namespace Plumbrook
