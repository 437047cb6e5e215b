#pragma once

class QWidget;

namespace Plumbrook {

// Repaints components through the canvas they lie on. A design holds thousands of
// objects on one canvas widget, and a repaint asked of an object is weighed against
// every object stacked above it, while one asked of the canvas is weighed once;
// objects changed together then cost one repaint of the part they cover.
namespace CanvasRepaint {

// Repaints the part of the canvas under `object`; nothing when it lies outside the
// view, or is hidden, as it is then painted when it comes into view.
void objectArea(QWidget *object);
// Whether any part of `object` lies in the view now.
bool inView(const QWidget *object);

} // namespace CanvasRepaint
} // namespace Plumbrook
