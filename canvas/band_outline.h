#pragma once

#include <QRect>
#include <array>

class QWidget;

namespace Plumbrook {

// The rubber band drawn as four one-pixel lines: stretching it over a crowded
// design repaints only the strips its edges cross, not everything it covers.
class BandOutline
{
public:
    explicit BandOutline(QWidget *parent);

    void setGeometry(const QRect &band);
    QRect geometry() const { return mBand; }
    void show();
    void hide();
    bool isVisible() const { return mVisible; }

private:
    std::array<QWidget *, 4> mEdges{};   // top, bottom, left, right
    QRect mBand;
    bool mVisible = false;
};

} // namespace Plumbrook
