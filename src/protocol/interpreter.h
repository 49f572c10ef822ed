// The command interpreter: one text line per request, split in place and executed.
#pragma once
#include <cstdint>
#include "board/types.h"

struct Position;

constexpr int OutputLineSize = 1024;

// The one search position: start-up allocates it, "position" sets it up, "go" searches it.
extern Position* EnginePosition;

// The interpreter's text output ("bestmove ...", "info ..."). Writers fill OutputLine and
// call SendOutputLine, which hands it to OutputSink when one is set (the kestrane program
// prints it); the library itself sets none, so the text goes nowhere.
extern char OutputLine[OutputLineSize];
typedef void (*OutputSinkFn)(const char* text);
extern OutputSinkFn OutputSink;
void SendOutputLine();
// Writes "info string " and the printf-style text into OutputLine and sends it: how the
// interpreter names a command it could not follow (fully or at all).
void SendInfoString(const char* format, ...) __attribute__((format(printf, 1, 2)));

extern int32_t DebugSwitch;  // "debug on" / "debug off"

// Executes one command line; the line is consumed (its blanks become zero bytes).
// 0 when the line is empty or does not start with a command word, otherwise 1.
int ExecuteCommand(char* line);
