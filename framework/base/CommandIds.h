// The standard command ids of menus, toolbars and accelerators, and the ids of the standard
// bars and status-bar indicators. Programs and stored resources use these numbers.
#pragma once

namespace fw {

inline constexpr unsigned ID_SEPARATOR = 0;

inline constexpr unsigned ID_FILE_NEW = 0xE100;
inline constexpr unsigned ID_FILE_OPEN = 0xE101;
inline constexpr unsigned ID_FILE_CLOSE = 0xE102;
inline constexpr unsigned ID_FILE_SAVE = 0xE103;
inline constexpr unsigned ID_FILE_SAVE_AS = 0xE104;
inline constexpr unsigned ID_FILE_PAGE_SETUP = 0xE105;
inline constexpr unsigned ID_FILE_PRINT_SETUP = 0xE106;
inline constexpr unsigned ID_FILE_PRINT = 0xE107;
inline constexpr unsigned ID_FILE_PRINT_DIRECT = 0xE108;
inline constexpr unsigned ID_FILE_PRINT_PREVIEW = 0xE109;
inline constexpr unsigned ID_FILE_MRU_FILE1 = 0xE110;
inline constexpr unsigned ID_FILE_MRU_LAST = 0xE11F;  // up to 16 recent files

inline constexpr unsigned ID_EDIT_CLEAR = 0xE120;
inline constexpr unsigned ID_EDIT_CLEAR_ALL = 0xE121;
inline constexpr unsigned ID_EDIT_COPY = 0xE122;
inline constexpr unsigned ID_EDIT_CUT = 0xE123;
inline constexpr unsigned ID_EDIT_FIND = 0xE124;
inline constexpr unsigned ID_EDIT_PASTE = 0xE125;
inline constexpr unsigned ID_EDIT_REPEAT = 0xE128;
inline constexpr unsigned ID_EDIT_REPLACE = 0xE129;
inline constexpr unsigned ID_EDIT_SELECT_ALL = 0xE12A;
inline constexpr unsigned ID_EDIT_UNDO = 0xE12B;
inline constexpr unsigned ID_EDIT_REDO = 0xE12C;

inline constexpr unsigned ID_NEXT_PANE = 0xE150;
inline constexpr unsigned ID_PREV_PANE = 0xE151;

inline constexpr unsigned ID_APP_ABOUT = 0xE140;
inline constexpr unsigned ID_APP_EXIT = 0xE141;
inline constexpr unsigned ID_HELP_INDEX = 0xE142;
inline constexpr unsigned ID_HELP_FINDER = 0xE143;
inline constexpr unsigned ID_HELP_USING = 0xE144;
inline constexpr unsigned ID_CONTEXT_HELP = 0xE145;
inline constexpr unsigned ID_HELP = 0xE146;
inline constexpr unsigned ID_DEFAULT_HELP = 0xE147;

inline constexpr unsigned ID_VIEW_TOOLBAR = 0xE800;
inline constexpr unsigned ID_VIEW_STATUS_BAR = 0xE801;

inline constexpr unsigned ID_INDICATOR_EXT = 0xE700;
inline constexpr unsigned ID_INDICATOR_CAPS = 0xE701;
inline constexpr unsigned ID_INDICATOR_NUM = 0xE702;
inline constexpr unsigned ID_INDICATOR_SCRL = 0xE703;

// Child ids of a frame's parts.
inline constexpr unsigned AFX_IDW_TOOLBAR = 0xE800;
inline constexpr unsigned AFX_IDW_STATUS_BAR = 0xE801;
inline constexpr unsigned AFX_IDW_PANE_FIRST = 0xE900;

// Dialog answers and button ids.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Texts of the framework in the string table (the program may replace them).
inline constexpr unsigned AFX_IDS_APP_TITLE = 0xE000;
inline constexpr unsigned AFX_IDS_IDLEMESSAGE = 0xE001;
inline constexpr unsigned AFX_IDS_UNTITLED = 0xE002;
inline constexpr unsigned AFX_IDS_OPENFILE = 0xF000;
inline constexpr unsigned AFX_IDS_SAVEFILE = 0xF001;
inline constexpr unsigned AFX_IDS_ALLFILTER = 0xF002;
inline constexpr unsigned AFX_IDP_ASK_TO_SAVE = 0xF000 + 0x110;
inline constexpr unsigned AFX_IDP_FAILED_TO_OPEN_DOC = 0xF101;
inline constexpr unsigned AFX_IDP_FAILED_TO_SAVE_DOC = 0xF102;
inline constexpr unsigned AFX_IDP_PARSE_INT = 0xF120;
inline constexpr unsigned AFX_IDP_PARSE_REAL = 0xF121;
inline constexpr unsigned AFX_IDP_PARSE_INT_RANGE = 0xF122;
inline constexpr unsigned AFX_IDP_PARSE_REAL_RANGE = 0xF123;
inline constexpr unsigned AFX_IDP_PARSE_STRING_SIZE = 0xF124;
inline constexpr unsigned AFX_IDP_PARSE_RADIO_BUTTON = 0xF125;
inline constexpr unsigned AFX_IDP_PARSE_UINT = 0xF126;
inline constexpr unsigned AFX_IDP_PARSE_ADDRESS = 0xF127;

}  // namespace fw
