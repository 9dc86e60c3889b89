// How a foreground run and a service process learn that they are to stop: SIGTERM or
// SIGINT (the service manager's stop, Ctrl+C), or a key pressed on the console.
#pragma once

#include <cstdint>

// Turns SIGTERM and SIGINT into a stop request from then on (once per process).
void InstallStopSignals();
bool StopSignalled();
// Waits up to `ms` for a stop request; true when there is one.
bool WaitForStopSignal(uint32_t ms);
// True once a key has been pressed on the console (any byte on standard input; a
// terminal is read key by key). Never blocks; an input that has ended presses nothing.
bool ConsoleKeyPressed();
// Either of the two.
bool ConsoleStopRequested();
// Descriptors a sleeping loop watches so that it wakes for these requests: readable once
// a stop signal came (-1 before InstallStopSignals), and standard input while it has not
// ended (-1 after); ConsoleStopRequested then tells whether it was a request.
int StopSignalFd();
int ConsoleKeyFd();
