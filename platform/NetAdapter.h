// The network card that faces the lighting network (the selected interface) and the
// per-interface queries of the interface and address tables.
//
// The selected interface is decided once per process: the "networkcard" of ixokolt.cfg
// (hardware-address text compared exactly with "%02X-%02X-%02X-%02X-%02X-%02X" of each
// interface, or an interface index), else the fastest Ethernet card (first of equals,
// never one of unknown speed), else 0. Its address and mask are kept once found.
// Every query degrades to 0 (no card, no address). All functions are thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/NetInterfaces.h"
#include "platform/VavConfig.h"

// Stands for "the selected interface" in GetInterfaceDescription.
constexpr uint32_t VAV_SELECTED_INTERFACE = 0xFFFFFFFE;

// Pure: the interface index a configuration selects in an interface table.
uint32_t ChooseInterface(const std::optional<VavNetworkCard>& configured,
                         const std::vector<VavIfRow>& table);
// "%02X-%02X-%02X-%02X-%02X-%02X" of a row's first six address bytes.
std::string InterfaceMacText(const VavIfRow& row);

uint32_t GetSelectedInterface();
// Makes `index` the selected interface (a host that picks the card itself).
void SetSelectedInterface(uint32_t index);
uint32_t GetLocalIpAddress();   // host order; 0 when unknown
uint32_t GetLocalSubnetMask();  // host order
uint32_t GetDefaultGateway();   // host order; 0 when the card has no default route
// Copies at most `length` bytes of the selected card's hardware address; returns the count.
uint32_t GetLocalMacAddress(uint8_t* buffer, uint32_t length);

// Always true: the tables are part of the system here.
bool BindIpHelper();
// The interface table sorted by interface index; empty when it cannot be read or is empty.
std::optional<std::vector<VavIfRow>> GetInterfaceTable();
// The row of one interface; false when there is none.
bool GetIfEntry(uint32_t index, VavIfRow& row);
// The IPv4 address table, in the system's order or sorted by address; nullopt when unreadable.
std::optional<std::vector<VavIpAddrRow>> GetIpAddrTable(bool sortedByAddress);
// Lowest address of the interface (the address table sorted by address); 0 when none.
uint32_t GetInterfaceIpAddress(uint32_t index);
// 0 and min(length, the address's length) bytes of the interface's hardware address; 1 when
// the interface is unknown.
int GetInterfaceMacAddress(uint8_t* buffer, uint32_t length, uint32_t index);
// 0 and the interface's description (cut to size - 1 characters, terminated); 1 without a
// buffer, with size 0, without a table or without such an interface. VAV_SELECTED_INTERFACE
// asks for the selected interface; index 0 prints "dwIndex %u is %u\n" (position, index)
// for every row to standard output and then finds nothing.
int GetInterfaceDescription(char* buffer, uint32_t size, uint32_t index);

// Tests: read the tables from `source` (nullptr: the system's) and forget every cached value.
void SetNetSourceForTest(VavNetSource* source);
