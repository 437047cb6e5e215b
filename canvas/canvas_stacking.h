#pragma once

namespace Plumbrook {

class DesignCanvas;

// Stacks the canvas objects as the shop stacks the components: a kind's fixed
// z-index first, then the later row over the earlier, a carousel's arrows over it.
namespace CanvasStacking {

void restack(DesignCanvas *canvas);

} // namespace CanvasStacking
} // namespace Plumbrook
