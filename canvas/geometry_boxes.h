#pragma once

#include <QObject>
#include <array>

class QLineEdit;

namespace Plumbrook {

class DesignCanvas;

// The four boxes W, H, X, Y: they show the selection's geometry, store what is
// typed into the selected row (typing in one box one step), and apply it to the
// selection when left or when Enter is pressed.
class GeometryBoxes : public QObject
{
    Q_OBJECT

public:
    enum Box { Width, Height, X, Y };

    GeometryBoxes(DesignCanvas *canvas, const std::array<QLineEdit *, 4> &boxesWHXY,
                  QObject *parent = nullptr);

    static QString focusText(Box box);

public slots:
    // Applies what was typed into the box with the focus, before the selection changes.
    void applyPending();

signals:
    void statusMessage(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void store(Box box, const QString &text);
    void apply(Box box);
    int value(Box box) const;

    DesignCanvas *mCanvas;
    std::array<QLineEdit *, 4> mBoxes;
    std::array<bool, 4> mTyped{};   // changed since the box was filled or applied
    int mTypingRun = 0;             // typing merges into one step within one run
};

} // namespace Plumbrook
