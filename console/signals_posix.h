#pragma once
// The signals that would end or stop the process while the terminal holds
// our settings: each puts them back first.

#include <csignal>

// Installs the handlers, once the terminal is open; also puts the settings
// back at exit.
void install_signal_handlers();

