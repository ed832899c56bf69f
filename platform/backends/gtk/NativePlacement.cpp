#include "platform/backends/gtk/NativePlacement.h"

#include <algorithm>
#include <cstdint>

namespace backends::gtk {

NativeRect ClipToClient(int left, int top, int width, int height, bool visible, int clientWidth, int clientHeight)
{
    if (!visible || width <= 0 || height <= 0 || clientWidth <= 0 || clientHeight <= 0)
        return {};
    // In 64 bits: a control far off to one side must not wrap around.
    const std::int64_t x0 = std::max<std::int64_t>(left, 0);
    const std::int64_t y0 = std::max<std::int64_t>(top, 0);
    const std::int64_t x1 = std::min<std::int64_t>(std::int64_t{left} + width, clientWidth);
    const std::int64_t y1 = std::min<std::int64_t>(std::int64_t{top} + height, clientHeight);
    if (x1 <= x0 || y1 <= y0)
        return {};
    return NativeRect{static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0),
                      true};
}

} // namespace backends::gtk
