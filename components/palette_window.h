#pragma once

#include <QPoint>
#include <QWidget>

#include <functional>

namespace Ui {
class PaletteWindow;
}

namespace Plumbrook {

class DesignDocument;

// The small tool window with one button per component kind; each press adds a
// new component of that kind to the design at once.
class PaletteWindow : public QWidget
{
    Q_OBJECT

public:
    // Where a new component of a kind appears on the module.
    using Placement = std::function<QPoint(const QString &kind)>;

    PaletteWindow(QWidget *owner, DesignDocument *document, Placement placement);
    ~PaletteWindow() override;

signals:
    // The dock button: the owner puts the window back beside itself.
    void dockRequested();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    Ui::PaletteWindow *ui;
    DesignDocument *mDocument;
    Placement mPlacement;
};

} // namespace Plumbrook
