// The host's tablebase settings: section "Tablebase" of "Morvelin.ini", keys "Path" (the
// directories, separated by ',' or ';') and "CacheSizeKB".
#pragma once
#include <cstdint>

constexpr int TablebasePathSize = 4096;
constexpr uint64_t MaxTableCacheBytes = uint64_t(1) << 30;

// The settings file: a bare name, read from the Windows directory on Windows and from the
// current directory (the engine directory once KestraneInit has run) elsewhere.
extern const char TablebaseSettingsFile[];

// Reads "Path" into `path` (empty when absent) and returns the cache size in bytes.
uint64_t ReadTablebaseSettings(char* path, int pathSize);

// Cache bytes of a "CacheSizeKB" text: 1 MB when empty; otherwise its leading decimal
// number (optionally signed, junk after it ignored, junk alone read as 0) times 1024,
// kept within 1 MB .. 1 GB.
uint64_t CacheBytesOfText(const char* text);
// The same for a kilobyte count given by a host.
uint64_t CacheBytesOfKilobytes(int64_t kilobytes);
