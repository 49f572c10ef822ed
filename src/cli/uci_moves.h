// The bestmove line of the kestrane program, checked against the game position.
#pragma once
#include <string>

// "bestmove M [ponder P]" from the interpreter's text, with M a legal move of the game
// position (the first legal move, with an info string, when the text names none), or
// "bestmove 0000" when the position has no legal move.
std::string CheckedBestMove(const std::string& interpreterText);
