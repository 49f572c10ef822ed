// The engine as a fuzz target meets it: started once through KestraneInit, every command
// line run on a copy, and its state checked after every input.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Starts the engine once per process in a private directory (so learning files stay out
// of the working directory). Searches are stopped by a watchdog after a few milliseconds,
// so "go infinite" and "go ponder" inputs end.
void FuzzStartEngine();

// Runs one command line through the interpreter; returns the output lines it printed.
std::string FuzzExecute(const std::string& line);

// Aborts (the fuzzer reports it) unless the game position passes the invariant checker and
// "go depth 2" answers a legal move, or no move where the position has none.
void FuzzCheckEngine();

// The input as text, cut at the first NUL (the interpreter reads C strings).
std::string FuzzText(const uint8_t* data, size_t size);
