// Runs one command line from a copy (the interpreter consumes its line).
#pragma once
#include <string>

#include "protocol/interpreter.h"

inline int Exec(std::string line) { return ExecuteCommand(line.data()); }
