#pragma once

#include <QObject>
#include <array>

class QLineEdit;

namespace Plumbrook {

class DesignCanvas;

// The four boxes W, H, X, Y: they show the selection's geometry, store what is
// typed into the selected row, and apply it to the selection when left.
class GeometryBoxes : public QObject
{
    Q_OBJECT

public:
    enum Box { Width, Height, X, Y };

    GeometryBoxes(DesignCanvas *canvas, const std::array<QLineEdit *, 4> &boxesWHXY,
                  QObject *parent = nullptr);

    static QString focusText(Box box);

signals:
    void statusMessage(const QString &text);
    void geometryApplied(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void store(Box box, const QString &text);
    void apply(Box box);
    int value(Box box) const;

    DesignCanvas *mCanvas;
    std::array<QLineEdit *, 4> mBoxes;
};

} // namespace Plumbrook
