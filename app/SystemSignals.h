#pragma once

// The requests of the system to end the program (SIGTERM, and SIGHUP at the
// end of a session) come through the event loop: the main window closes as
// with its close button, so the closing protocol line is written and the
// database detached. The database engine sets handlers of its own for them
// when it first opens a database, which would swallow them; the program's
// handler is set again after every connection.

// Holds the two signals back until the program listens for them; called
// first thing in main, before any thread starts, so that every thread
// inherits the hold and none of them takes a signal meant for the program.
void BlockEndSignals();

// Listens for the signals from the next turn of an event loop on: sets the
// program's handler, lets the main thread take the signals (one that came
// during start-up is taken then), and sets the handler again after each
// connection to a database. Called by the program block once the start page
// is on the screen, before the data module is made.
void EndOnSystemSignals();
