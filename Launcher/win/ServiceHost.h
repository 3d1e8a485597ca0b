#pragma once

class Platform;

// Offers the process to the service dispatcher under the name "Orvantis";
// true when it ran as the service and the service has stopped.
bool RunServiceDispatcher();

// True in a process that the service manager started.
bool InServiceProcess();

int RegisterService(Platform& platform);
int UnregisterService(Platform& platform);
