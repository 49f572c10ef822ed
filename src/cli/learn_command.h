// `kestrane learn list|stats [FILE]`: what the engine has learned, read from a learning file.
#pragma once

int LearnCommand(int argc, char** argv);  // argv[0] is "learn"
