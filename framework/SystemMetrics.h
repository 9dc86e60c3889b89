// The system metrics that programs size their drawing by (GetSystemMetrics): scroll-bar
// extents from the toolkit's style, and the thin border and sizing frame of a window.
#pragma once

namespace fw {

inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXFRAME = 32;
inline constexpr int SM_CYFRAME = 33;

// The metric in pixels; 0 for an index not listed above. Needs the Qt application object for
// the scroll-bar and screen metrics (0 without it).
int GetSystemMetrics(int index);

}  // namespace fw
