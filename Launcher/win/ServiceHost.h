#pragma once
#include "../Platform.h"

// Offers the process to the service dispatcher under the name "Orvantis";
// true when it ran as the service and the service has stopped.
bool RunServiceDispatcher();

// True in a process that the service manager started.
bool InServiceProcess();

int RegisterService(Platform& platform);
int UnregisterService(Platform& platform);

// The hook through which the service learns that the server's virtual machine
// has shut down.
VmExitHook ServiceExitHook();
