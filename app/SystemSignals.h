#pragma once

// The requests of the system to end the program (SIGTERM, and SIGHUP at the
// end of a session) come through the event loop: the main window closes as
// with its close button, so the closing protocol line is written and the
// database detached. The database engine's own handlers never see them.

// Blocks the two signals; called first thing in main, before any thread
// starts, so that every thread inherits the block.
void BlockEndSignals();

// Reads the blocked signals in the event loop from now on.
void EndOnSystemSignals();
