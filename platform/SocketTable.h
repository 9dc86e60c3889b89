// The process-wide table of the sockets that the platform socket calls opened, for the
// calls that add sockets of their own (an accepted connection) or mark one not ready.
// Guarded by one VavRWLock; every change and look-up takes its write side.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/VavSocket.h"

// Enters a socket (readyToSend 0); false when it is there already.
bool SocketTableAdd(VavSocket socket);
// Removes its entry; false when it was not there.
bool SocketTableRemove(VavSocket socket);
bool SocketTableContains(VavSocket socket);
size_t SocketTableSize();

void SocketTableSetReadyToSend(VavSocket socket, bool ready);
// False when the socket is not in the table.
bool SocketTableGetReadyToSend(VavSocket socket, bool& ready);

// The card a datagram socket was pinned to by SocketBind (0: none), and the card's
// address (host order) at that time.
void SocketTableSetPinnedCard(VavSocket socket, uint32_t interfaceIndex, uint32_t address = 0);
uint32_t SocketTableGetPinnedCard(VavSocket socket, uint32_t* address = nullptr);
