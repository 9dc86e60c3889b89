// The service host's program: the entry that records the versions, runs one command-line
// verb, or hands the process to the service dispatcher when systemd started it.
#pragma once

int StellanMain(int argc, char** argv);
