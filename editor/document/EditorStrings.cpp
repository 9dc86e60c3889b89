#include "editor/document/EditorStrings.h"

#include "os/Text.h"

#include <algorithm>
#include <cstdarg>
#include <iterator>

namespace {

struct Entry {
    uint32_t id;
    const char* text;
};

// Sorted by id.
constexpr Entry kStrings[] = {
    {10001, "_NODE_INDEX"},
    {10003, "Tessaly.ini"},
    {20000, "Tessaly"},
    {20001,
     "Value is out of range, please re-enter or press \"Esc\" to restore the previous value."},
    {20002, "Unknown error"},
    {20003, "The document XML interface could not be initialized."},
    {20004, "Could not open the configuration template file."},
    {20005, "Could not create a new XML document."},
    {20006,
     "A network communications error occurred getting properties from the node: %s (%s, %s). "
     "Not all of the properties could be retrieved from the node."},
    {20007,
     "A network communications error occurred setting properties to the node: %s (%s, %s). "
     "Not all of the properties could be sent to the node."},
    {20008,
     "An error occurred setting information in the document you are currently editing. "
     "You may be running low on available memory."},
    {20009,
     "An error occurred creating a new network node in the configuration document you are "
     "currently editing."},
    {20010, "The two nodes are different types. Please select two nodes that are the same type."},
    {20011, "A factory vPort %d cannot be deleted.  Only user-defined vPorts can be deleted."},
    {20012, "You must select a vPort to delete it.  Only user-defined vPorts can be deleted."},
    {20013,
     "Failed to start the bootp server. There was an internal error. It may be possible that "
     "the bootp address table is missing or damaged."},
    {20014,
     "The new password and the confirmation password do not match,\n please re-enter the new "
     "password"},
    {20015, "The password is incorrect, please re-enter the password"},
    {20016,
     "The value you entered (%s) is invalid, please correct and re-enter the value.  Press "
     "\"Esc\" to restore the previous value."},
    {20017, "No printer selected."},
    {20018, "Could not attach device context."},
    {20019, "Printer did not initialize."},
    {20020, "Printing aborted."},
    {20021, "Could not start a page."},
    {20022, "Could not end document."},
    {20023,
     "The IP address, and the gateway address do not have the same subnet value on node: "
     "\"%s\". The download has been skipped for this node."},
    {20024,
     "Cannot paste into multiple selections. The paste selection must be a single node or a "
     "single range of cells in the grid."},
    {20025,
     "The text is too long for the configuration: it has %zu characters, and a value may "
     "hold at most %zu. Nothing was changed."},
    {20026, "The file \"%s\" could not be opened as a configuration: %s."},
    {20027,
     "The configuration could not be saved to \"%s\": %s. The file that was there is "
     "unchanged."},
    {25000, "Getting config from: %s (MAC=%s, IP=%s)"},
    {25001, "Sending config to: %s (MAC=%s, IP=%s)"},
    {25002, "Adding node: %s to the config (MAC=%s, IP=%s)"},
    {25003, "Could not disable DMX ports while sending configuration information to node: %s."},
    {25004, "Could not send configuration information to node: %s."},
    {25005, "Could not restore DMX ports after sending configuration information to node: %s."},
    {25006, "bootp server started."},
    {25007, "bootp server stopped."},
    {30000,
     "Are you sure you want to delete the selected node(s) from the configuration? This "
     "operation cannot be undone."},
    {30001, "Confirm Delete"},
    {30002, "Do you want to send configuration data to the selected node(s)?"},
    {30003, "Do you want to send configuration data to all the nodes on the network?"},
    {30004, "Do you want to get configuration data from the selected node(s)?"},
    {30005, "Do you want to reboot the selected node(s)?"},
    {30006, "Delete user-defined vPort %d?  This operation cannot be undone."},
    {30007, "Changes to the vPort table will be lost."},
    {30008, "Do you want to get configuration data from all the bound nodes on the network?"},
    {30009, "Do you want to reboot all the nodes online on the network?"},
    {30010, "Reset all factory vPorts to the default values?"},
    {30011, "Do you want to add all the unbound nodes on the network to the configuration file?"},
    {30012, "Do you want to update the software on all the nodes online on the network?"},
    {30013, "Do you want to update the software on the selected node(s)?"},
    {31000, "IxoKolt Configuration: %s"},
    {57345, "Ready"},
    {59142, "Nodes:      "},
    {59143, "Nodes Online:           "},
    {59144, "Network:                "},
    {59145, "Channels Free: %i"},
    {59146, "Ready"},
    {59147, "Range Patch successful."},
    {59148, "One to One Patch successful."},
    {59149, "Copy from Port successful."},
    {59150, "Clear Patch successful."},
    {59151, "EDMX address %i unpatched."},
    {59152, "EDMX address %i moved from DMX %i to DMX %i."},
    {59153, "DMX Channel %i is full."},
    {59154, "Port %s of %s loaded successfully."},
    {59155, "Loading Patch . . . please wait."},
    {59156, "An error occurred."},
    {59157, "EDMX value is invalid."},
    {59158, "DMX Start value is invalid."},
    {59159, "DMX End valus is invalid."},
    {59160, "DMX End value cannot be less than DMX Start Value."},
    {59161, "DMX value range is beyond EDMX range.  Please enter lower EDMX Start Address."},
    {59162, "Invalid DMX value."},
    {59163, "No port is currently selected."},
    {59165, "DMX Channel %i unpatched."},
    {59514, "Document is loading.  Please Wait."},
    {61447, "A parameter error occurred discovering nodes."},
    {61448, "A network communications error occurred discovering nodes."},
    {61449, "An unexpected error occurred discovering nodes."},
    {61450, "Do you want to clear the configuration(s) of the selected node(s)?"},
    {61451, "Do you want to clear the configurations of all nodes online on the network?"},
    {61452, "Use numeric edit control."},
};

static_assert(std::is_sorted(std::begin(kStrings), std::end(kStrings),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }));

}  // namespace

const char* FindEditorString(uint32_t id) {
    auto it =
        std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                         [](const Entry& entry, uint32_t wanted) { return entry.id < wanted; });
    return it != std::end(kStrings) && it->id == id ? it->text : nullptr;
}

std::string LoadEditorString(uint32_t id) {
    const char* text = FindEditorString(id);
    return text ? text : FindEditorString(IDS_UNKNOWN_ERROR);
}

std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = os::FormatV(format, args);
    va_end(args);
    return text;
}
