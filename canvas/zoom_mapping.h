#pragma once

#include <QRect>
#include <QWidget>

#include <cmath>
#include <iterator>

namespace Plumbrook::ZoomMapping {

constexpr double kMinimum = 0.25;
constexpr double kMaximum = 4.0;

// Widgets cannot lie or stretch beyond this, whatever the zoom makes of a value.
inline int pinned(double value, int lowest)
{
    return int(qBound<double>(lowest, std::round(value), QWIDGETSIZE_MAX));
}

inline int toScreen(int canvas, double scale)
{
    return pinned(canvas * scale, -QWIDGETSIZE_MAX);
}

inline QPoint toScreen(const QPoint &canvas, double scale)
{
    return QPoint(toScreen(canvas.x(), scale), toScreen(canvas.y(), scale));
}

// Edges are scaled, not sizes, so that frames that touch keep touching on screen.
inline QRect toScreen(const QRect &canvas, double scale)
{
    const double left = std::round(canvas.x() * scale);
    const double top = std::round(canvas.y() * scale);
    const double right = std::round((qint64(canvas.x()) + canvas.width()) * scale);
    const double bottom = std::round((qint64(canvas.y()) + canvas.height()) * scale);
    return QRect(pinned(left, -QWIDGETSIZE_MAX), pinned(top, -QWIDGETSIZE_MAX),
                 pinned(right - left, 0), pinned(bottom - top, 0));
}

inline int toCanvas(int screen, double scale)
{
    return pinned(screen / scale, -QWIDGETSIZE_MAX);
}

inline QPoint toCanvas(const QPoint &screen, double scale)
{
    return QPoint(toCanvas(screen.x(), scale), toCanvas(screen.y(), scale));
}

inline QRect toCanvas(const QRect &screen, double scale)
{
    const double left = std::round(screen.x() / scale);
    const double top = std::round(screen.y() / scale);
    const double right = std::round((qint64(screen.x()) + screen.width()) / scale);
    const double bottom = std::round((qint64(screen.y()) + screen.height()) / scale);
    return QRect(pinned(left, -QWIDGETSIZE_MAX), pinned(top, -QWIDGETSIZE_MAX),
                 pinned(right - left, 0), pinned(bottom - top, 0));
}

// The zoom `steps` stops in (positive) or out (negative) from `zoom`, which need
// not be a stop itself; the ends hold.
inline double stepped(double zoom, int steps)
{
    static constexpr double kStops[] = {0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};
    constexpr int count = int(std::size(kStops));
    int at = 0;
    while (at < count && kStops[at] < zoom - 1e-9)
        ++at;
    if (steps == 0)
        return qBound(kMinimum, zoom, kMaximum);
    // Between two stops, the first step either way lands on the nearer one that way.
    const bool onStop = at < count && std::abs(kStops[at] - zoom) < 1e-9;
    const int target = steps > 0 && !onStop ? at + steps - 1 : at + steps;
    return kStops[qBound(0, target, count - 1)];
}

} // namespace Plumbrook::ZoomMapping
