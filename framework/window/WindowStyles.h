// Window styles, show commands and scroll-bar constants. The values are those that programs of
// the suite store and compare (a grid asks whether its view carries WS_VSCROLL, a combo cell
// creates its window with 0x00200042), so they keep their well-known numbers.
#pragma once

#include <cstdint>

namespace fw {

using DWORD = std::uint32_t;

inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_HSCROLL = 0x00100000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_DLGFRAME = 0x00400000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_MAXIMIZE = 0x01000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_MINIMIZE = 0x20000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

inline constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
inline constexpr DWORD WS_EX_TOPMOST = 0x00000008;
inline constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr DWORD WS_EX_RTLREADING = 0x00002000;

// Class styles: a window asks for double clicks and for a full repaint when it is resized.
inline constexpr DWORD CS_VREDRAW = 0x0001;
inline constexpr DWORD CS_HREDRAW = 0x0002;
inline constexpr DWORD CS_DBLCLKS = 0x0008;
inline constexpr DWORD CS_GLOBALCLASS = 0x4000;

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;

inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
inline constexpr int SB_CTL = 2;
inline constexpr int SB_BOTH = 3;

// Scroll-bar request codes of WM_HSCROLL and WM_VSCROLL (left and right share up and down).
inline constexpr unsigned SB_LINEUP = 0;
inline constexpr unsigned SB_LINELEFT = 0;
inline constexpr unsigned SB_LINEDOWN = 1;
inline constexpr unsigned SB_LINERIGHT = 1;
inline constexpr unsigned SB_PAGEUP = 2;
inline constexpr unsigned SB_PAGELEFT = 2;
inline constexpr unsigned SB_PAGEDOWN = 3;
inline constexpr unsigned SB_PAGERIGHT = 3;
inline constexpr unsigned SB_THUMBPOSITION = 4;
inline constexpr unsigned SB_THUMBTRACK = 5;
inline constexpr unsigned SB_TOP = 6;
inline constexpr unsigned SB_LEFT = 6;
inline constexpr unsigned SB_BOTTOM = 7;
inline constexpr unsigned SB_RIGHT = 7;
inline constexpr unsigned SB_ENDSCROLL = 8;

inline constexpr unsigned SIF_RANGE = 0x0001;
inline constexpr unsigned SIF_PAGE = 0x0002;
inline constexpr unsigned SIF_POS = 0x0004;
inline constexpr unsigned SIF_DISABLENOSCROLL = 0x0008;
inline constexpr unsigned SIF_TRACKPOS = 0x0010;
inline constexpr unsigned SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

// Range, page and position of a scroll bar. The largest position the user can reach is
// max - page + 1 (max when page is 0). The scroll messages carry the thumb position in 16 bits,
// so programs with more than 32767 positions read the full value with GetScrollInfo.
struct ScrollInfo {
    unsigned mask = SIF_ALL;
    int min = 0;
    int max = 0;
    unsigned page = 0;
    int pos = 0;
    int trackPos = 0;
};

}  // namespace fw
