#include "platform/NetAdapter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/Logger.h"

namespace {

struct AdapterCache {
    std::optional<uint32_t> selected;
    uint32_t address = 0;  // looked up again while 0
    uint32_t mask = 0;
};

std::mutex g_lock;
VavNetSource* g_source = nullptr;  // null: the system's
AdapterCache g_cache;

VavNetSource& Source() {
    return g_source != nullptr ? *g_source : LinuxNetSource();
}

std::optional<std::vector<VavIfRow>> ReadTableLocked() {
    std::vector<VavIfRow> rows;
    if (!Source().ReadInterfaces(rows) || rows.empty())
        return std::nullopt;
    std::stable_sort(rows.begin(), rows.end(),
                     [](const VavIfRow& a, const VavIfRow& b) { return a.index < b.index; });
    return rows;
}

uint32_t SelectedLocked() {
    if (!g_cache.selected) {
        VavNetworkCard card;
        std::optional<VavNetworkCard> configured;
        if (GetConfigNetworkCard(card) == 0)
            configured = card;
        std::optional<std::vector<VavIfRow>> table = ReadTableLocked();
        g_cache.selected = ChooseInterface(configured, table ? *table : std::vector<VavIfRow>{});
    }
    return *g_cache.selected;
}

void FindAddressLocked() {
    if (g_cache.address != 0)
        return;
    uint32_t selected = SelectedLocked();
    std::vector<VavIpAddrRow> rows;
    if (selected == 0 || !Source().ReadAddresses(rows))
        return;
    for (const VavIpAddrRow& row : rows)
        if (row.index == selected) {
            g_cache.address = row.address;
            g_cache.mask = row.mask;
            return;
        }
}

std::optional<VavIfRow> RowLocked(uint32_t index) {
    std::optional<std::vector<VavIfRow>> table = ReadTableLocked();
    if (!table)
        return std::nullopt;
    for (const VavIfRow& row : *table)
        if (row.index == index)
            return row;
    return std::nullopt;
}

}  // namespace

std::string InterfaceMacText(const VavIfRow& row) {
    uint8_t b[6] = {};
    std::memcpy(b, row.physAddr, std::min<uint32_t>(row.physAddrLength, 6));
    char text[18];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", b[0], b[1], b[2], b[3], b[4],
                  b[5]);
    return text;
}

uint32_t ChooseInterface(const std::optional<VavNetworkCard>& configured,
                         const std::vector<VavIfRow>& table) {
    if (configured && configured->IsMacText()) {
        for (const VavIfRow& row : table)
            if (InterfaceMacText(row) == configured->macText)
                return row.index;
    } else if (configured && configured->index != 0) {
        return configured->index;
    }
    const VavIfRow* fastest = nullptr;
    for (const VavIfRow& row : table)
        if (row.type == IF_TYPE_ETHERNET_CSMACD && row.speed > 0 &&
            (fastest == nullptr || row.speed > fastest->speed))
            fastest = &row;
    return fastest != nullptr ? fastest->index : 0;
}

uint32_t GetSelectedInterface() {
    std::lock_guard guard(g_lock);
    return SelectedLocked();
}

void SetSelectedInterface(uint32_t index) {
    std::lock_guard guard(g_lock);
    g_cache = AdapterCache{};
    g_cache.selected = index;
}

uint32_t GetLocalIpAddress() {
    std::lock_guard guard(g_lock);
    FindAddressLocked();
    return g_cache.address;
}

uint32_t GetLocalSubnetMask() {
    std::lock_guard guard(g_lock);
    FindAddressLocked();
    return g_cache.mask;
}

uint32_t GetDefaultGateway() {
    std::lock_guard guard(g_lock);
    uint32_t selected = SelectedLocked();
    std::vector<VavRouteRow> routes;
    if (selected == 0 || !Source().ReadRoutes(routes))
        return 0;
    const VavRouteRow* best = nullptr;
    for (const VavRouteRow& r : routes)
        if (r.mask == 0 && r.index == selected && r.gateway != 0 &&
            (best == nullptr || r.metric < best->metric))
            best = &r;
    return best != nullptr ? best->gateway : 0;
}

uint32_t GetLocalMacAddress(uint8_t* buffer, uint32_t length) {
    std::lock_guard guard(g_lock);
    uint32_t selected = SelectedLocked();
    std::optional<VavIfRow> row = selected != 0 ? RowLocked(selected) : std::nullopt;
    if (!row || buffer == nullptr)
        return 0;
    uint32_t n = std::min(length, row->physAddrLength);
    std::memcpy(buffer, row->physAddr, n);
    return n;
}

bool BindIpHelper() {
    return true;
}

std::optional<std::vector<VavIfRow>> GetInterfaceTable() {
    std::lock_guard guard(g_lock);
    return ReadTableLocked();
}

bool GetIfEntry(uint32_t index, VavIfRow& row) {
    std::lock_guard guard(g_lock);
    std::optional<VavIfRow> found = RowLocked(index);
    if (found)
        row = *found;
    return found.has_value();
}

std::optional<std::vector<VavIpAddrRow>> GetIpAddrTable(bool sortedByAddress) {
    std::lock_guard guard(g_lock);
    std::vector<VavIpAddrRow> rows;
    if (!Source().ReadAddresses(rows))
        return std::nullopt;
    if (sortedByAddress)
        std::stable_sort(
            rows.begin(), rows.end(),
            [](const VavIpAddrRow& a, const VavIpAddrRow& b) { return a.address < b.address; });
    return rows;
}

uint32_t GetInterfaceIpAddress(uint32_t index) {
    std::optional<std::vector<VavIpAddrRow>> rows = GetIpAddrTable(true);
    if (!rows)
        return 0;
    for (const VavIpAddrRow& row : *rows)
        if (row.index == index)
            return row.address;
    return 0;
}

int GetInterfaceMacAddress(uint8_t* buffer, uint32_t length, uint32_t index) {
    VavIfRow row;
    if (buffer == nullptr || !GetIfEntry(index, row))
        return 1;
    std::memcpy(buffer, row.physAddr, std::min(length, row.physAddrLength));
    return 0;
}

int GetInterfaceDescription(char* buffer, uint32_t size, uint32_t index) {
    if (buffer == nullptr || size == 0)
        return 1;
    std::optional<std::vector<VavIfRow>> table = GetInterfaceTable();
    if (index == VAV_SELECTED_INTERFACE)
        index = GetSelectedInterface();
    if (!table)
        return 1;
    if (index == 0)
        for (size_t i = 0; i < table->size(); ++i)
            VAV_LOG(LOG_DBG, "dwIndex %u is %u", static_cast<unsigned>(i), (*table)[i].index);
    for (const VavIfRow& row : *table)
        if (row.index == index && index != 0) {
            size_t n = std::min<size_t>(row.description.size(), size - 1);
            std::memcpy(buffer, row.description.data(), n);
            buffer[n] = '\0';
            return 0;
        }
    return 1;
}

void SetNetSourceForTest(VavNetSource* source) {
    std::lock_guard guard(g_lock);
    g_source = source;
    g_cache = AdapterCache{};
}
