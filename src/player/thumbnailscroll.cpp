// ours
#include "thumbnailscroll.h"

namespace tarnwick {

namespace {

constexpr int kMargin = 4;

} // namespace

int ThumbnailScrollValue(int top, int height, int viewHeight, int value, int maxValue)
{
    const auto trySet = [&](int wanted) {
        if (wanted >= 0 && wanted <= maxValue) {
            // The entries move with the scroll, so the entry's top follows.
            top -= wanted - value;
            value = wanted;
        }
    };
    if (top + height + kMargin > viewHeight)
        trySet(top + height + kMargin - viewHeight + value);
    if (top - kMargin < 0)
        trySet(value + top - kMargin);
    return value;
}

} // namespace tarnwick
