// "go ...": maps the limits onto a time mode, searches and writes "bestmove".
#pragma once
#include "protocol/go_limits.h"

// The limits of the last "go", kept for the program that runs the search (it reads them on
// the searching thread).
extern GoLimits LastGoLimits;

// Reads its words from *cursor (splitting the line in place).
void GoCommand(char** cursor);
