// The in-process synchronisation objects in one include.
#pragma once

#include "os/CriticalSection.h"
#include "os/Event.h"
#include "os/Semaphore.h"
#include "os/Wait.h"
