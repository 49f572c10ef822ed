// "position startpos|fen ... [moves ...]": sets up the game and the search position.
#pragma once

// Reads its words from *cursor (splitting the line in place).
void PositionCommand(char** cursor);
