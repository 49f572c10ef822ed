// The one search of the kestrane program's UCI mode: a "go" line run on the search thread,
// ended by "stop" or redirected by "ponderhit" from the command worker.
#pragma once
#include <string>

// Runs one line through the engine's interpreter (from a copy: it splits the line in place).
void RunEngineCommand(const std::string& line);
// Starts the go line on the search thread; the engine must be idle (SearchRunning false).
void StartSearch(const std::string& goLine);
// True from StartSearch until the search's bestmove line has been printed.
bool SearchRunning();
// Asks the running search to end; false when none runs. A search that has already ended and
// holds its bestmove (infinite or ponder) gives it now.
bool StopSearch();
// Tells the running search that the pondered move was played; false when none runs.
bool PonderHitSearch();
// Returns once the running search (if any) has printed its bestmove.
void AwaitBestMove();
