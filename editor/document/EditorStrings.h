// The editor's string table: message texts by resource id. Ids 20000 and up are
// errors, 25000 and up log texts, 30000 and up questions; the others are labels.
#pragma once

#include <cstdint>
#include <string>

// Ids the document itself uses.
enum : uint32_t {
    IDS_SETTINGS_FILE = 10003,
    IDS_PRODUCT_NAME = 20000,
    IDS_OUT_OF_RANGE = 20001,
    IDS_UNKNOWN_ERROR = 20002,
    IDS_XML_INIT_FAILED = 20003,
    IDS_TEMPLATE_NOT_OPENED = 20004,
    IDS_XML_NOT_CREATED = 20005,
    IDS_GET_CONFIG_FAILED = 20006,
    IDS_SEND_CONFIG_FAILED = 20007,
    IDS_DOCUMENT_WRITE_FAILED = 20008,
    IDS_NODE_NOT_CREATED = 20009,
    IDS_BOOTP_START_FAILED = 20013,
    IDS_NO_PRINTER = 20017,
    IDS_ATTACH_DC_FAILED = 20018,
    IDS_PRINTER_NOT_INITIALIZED = 20019,
    IDS_PRINTING_ABORTED = 20020,
    IDS_START_PAGE_FAILED = 20021,
    IDS_END_DOC_FAILED = 20022,
    IDS_SUBNET_MISMATCH = 20023,
    IDS_TEXT_TOO_LONG = 20025,
    IDS_OPEN_FAILED = 20026,
    IDS_SAVE_FAILED = 20027,
    IDS_GETTING_CONFIG = 25000,
    IDS_SENDING_CONFIG = 25001,
    IDS_ADDING_NODE = 25002,
    IDS_BOOTP_STARTED = 25006,
    IDS_BOOTP_STOPPED = 25007,
    IDS_READY = 57345,
    IDS_DOCUMENT_LOADING = 59514,
};

// The text of `id`; nullptr when the table has none.
const char* FindEditorString(uint32_t id);

// The text of `id`, or "Unknown error" when the table has none.
std::string LoadEditorString(uint32_t id);

// printf-style formatting into a string.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
