// The two transposition tables and the per-position hash tables' clearing.
#pragma once
#include <cstdint>

int AllocateHashTables(int totalKb);  // 1 on success
void FreeHashTables();
void ClearHashTables();               // both transposition tables and the per-position tables
void ResizeHash(int megabytes);       // the "Hash" option
