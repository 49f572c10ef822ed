// The commands of the interpreter that take the rest of their line.
#pragma once

// Each reads its words from *cursor (splitting the line in place).
void SetOptionCommand(char** cursor);
void PositionCommand(char** cursor);
void GoCommand(char** cursor);
