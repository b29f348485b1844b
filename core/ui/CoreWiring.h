#pragma once

// Connects the core windows to one another: the settings loader and the
// log-in list of the start-up sequence, the main window's log-in dialog and
// rights reload, and the shared lists' scroll handlers. Called once the data
// module exists, before its start-up sequence runs.
void WireCoreWindows();
