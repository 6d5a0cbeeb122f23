#pragma once
// Program entry: decides the run mode from the command line and runs the chosen main window.

// True when the first argument is exactly "/C" (case-sensitive); further arguments are ignored.
bool IsCounterSwitch(int argc, const char* const* argv);

// Runs the program; returns the process exit code.
int RunProgram(int argc, const char* const* argv);
