// Standard output of the kestrane program: whole lines under one lock, and the engine's search
// reports turned into UCI "info" lines.
#pragma once
#include <cstdint>
#include <string>

#include "kestrane.h"

// Prints one line (a newline is added) and flushes, atomically with respect to other threads.
void PrintLine(const std::string& text);
void PrintInfoString(const std::string& text);

// Callback table that prints the reports as "info" lines.
const KestraneCallbacks* InfoCallbacks();

// The interpreter's output: "bestmove" texts are kept for the caller (TakeBestMoveText), every
// other text is printed.
void InfoOutputSink(const char* text);
// The last "bestmove ..." text the interpreter wrote (without its newline); emptied by the call.
std::string TakeBestMoveText();
