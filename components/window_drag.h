#pragma once

#include <QObject>
#include <QPoint>

#include <optional>

class QWidget;

namespace Plumbrook {

// Moves a frameless window by a left-button drag on its own surface.
//
// Installed on the window, it follows the presses that reach the window itself
// (not those its controls take), so its fields and buttons keep working.
class WindowDrag : public QObject
{
    Q_OBJECT

public:
    static WindowDrag *install(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit WindowDrag(QWidget *window);

    QWidget *mWindow;
    std::optional<QPoint> mGrab;   // the pointer's offset from the frame's corner
};

} // namespace Plumbrook
