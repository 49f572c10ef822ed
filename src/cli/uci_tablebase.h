// The kestrane program's own UCI options for the tablebase files: NalimovPath (directories
// separated by ';') and NalimovCache (megabytes), the names GUIs and adapters pass on.
#pragma once
#include <string>

constexpr int NalimovCacheDefaultMb = 32;
constexpr int NalimovCacheMinMb = 1;
constexpr int NalimovCacheMaxMb = 1024;
// The longest path list the tablebase registration takes whole.
constexpr size_t NalimovPathMaxLength = 511;

// Starts from the path of the settings file the engine's start-up registered.
void ResetTablebaseOptions();
// The two "option name ..." lines of the answer to "uci".
void PrintTablebaseOptions();
// A "setoption" line that names NalimovPath or NalimovCache is applied here (true): an
// accepted value registers the tables again and an info string says how many pieces they
// cover; a bad value is named in an info string and changes nothing. Other lines: false.
bool SetTablebaseOption(const std::string& line);
// Registers the tables of a path list with the current cache size, as NalimovPath does;
// false (with an info string) when the list is too long.
bool UseTablebasePaths(const std::string& paths);
