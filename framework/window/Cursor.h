// Mouse cursors by id. A program asks for a cursor by its resource id (the grid's resize and
// selection cursors 20190..) with a system cursor as fallback, or for a system cursor by its
// well-known id (IDC_ARROW 32512, ...). Resource cursors are registered by the program that
// owns them; an id nobody registered gives the fallback.
#pragma once

#include <QCursor>

#include <optional>

namespace fw {

inline constexpr int IDC_ARROW = 32512;
inline constexpr int IDC_IBEAM = 32513;
inline constexpr int IDC_WAIT = 32514;
inline constexpr int IDC_CROSS = 32515;
inline constexpr int IDC_UPARROW = 32516;
inline constexpr int IDC_SIZENWSE = 32642;
inline constexpr int IDC_SIZENESW = 32643;
inline constexpr int IDC_SIZEWE = 32644;
inline constexpr int IDC_SIZENS = 32645;
inline constexpr int IDC_SIZEALL = 32646;
inline constexpr int IDC_NO = 32648;
inline constexpr int IDC_HAND = 32649;
inline constexpr int IDC_APPSTARTING = 32650;
inline constexpr int IDC_HELP = 32651;

struct Cursor {
    int id = 0;  // 0: no cursor
    QCursor shape;
    explicit operator bool() const { return id != 0; }
};

// Registers the cursor for a resource id (replacing an earlier one).
void RegisterCursor(int resourceId, const QCursor& cursor);
// The system cursor of an IDC_ id; the arrow for an unknown id.
Cursor LoadSystemCursor(int idc);
// The registered cursor of a resource id, else the system cursor `fallbackIdc`; with no
// fallback (0) an unknown id gives no cursor.
Cursor LoadCursor(int resourceId, int fallbackIdc = 0);
// Sets the mouse cursor of the window that is handling WM_SETCURSOR (or, outside of that, of
// the window under the mouse); returns the cursor set before.
Cursor SetCursor(const Cursor& cursor);
// The cursor last set with SetCursor.
Cursor GetCursor();

}  // namespace fw
