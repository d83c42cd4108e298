#pragma once
// The scroll arithmetic that keeps one thumbnail of the strip in view. Pure
// function; the strip model calls it from PlayerStateView::keepThumbnailInView.

namespace tarnwick {

// The strip's new scroll value (pixels, 0..maxValue) that brings an entry
// at `top` with `height` (both relative to the viewport at the current
// `value`) inside a viewport of `viewHeight` with a 4-pixel margin: first
// its bottom is scrolled up into view, then, with the entry moved by that
// scroll, its top down into view. A value outside 0..maxValue is refused by
// the scroll bar and leaves the value unchanged.
int ThumbnailScrollValue(int top, int height, int viewHeight, int value, int maxValue);

} // namespace tarnwick
