// Move and position checks of the kestrane program against the game position.
#pragma once
#include <string>
#include <vector>

// "bestmove M [ponder P]" from the interpreter's text, with M always a legal move of the game
// position (the first legal move when the text names none), or "bestmove 0000" without one.
std::string CheckedBestMove(const std::string& interpreterText);

// The words of a "position fen ..." command name a position the engine can play.
bool FenIsPlayable(const std::vector<std::string>& words);
