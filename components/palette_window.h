#pragma once

#include <QWidget>

namespace Ui {
class PaletteWindow;
}

namespace Plumbrook {

class MainWindow;

// The small tool window with one button per component kind; each press adds a
// new component of that kind to the design at once.
class PaletteWindow : public QWidget
{
    Q_OBJECT

public:
    explicit PaletteWindow(MainWindow *main);
    ~PaletteWindow() override;

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    Ui::PaletteWindow *ui;
    MainWindow *mMain;
};

} // namespace Plumbrook
