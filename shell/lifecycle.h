// Start-up, shut-down, unload and reload of the plug-in.
#pragma once

#include "host/host_types.h"

// Allocates the plug-in globals and registers the file formats.
HostErr HandleStartup(MessageRecord* message);
// Frees the plug-in globals.
HostErr HandleShutdown(MessageRecord* message);
// Hands the plug-in globals to the host to keep while the module is unloaded.
HostErr HandleUnload(MessageRecord* message);
// Takes the plug-in globals back from the host.
HostErr HandleReload(MessageRecord* message);
