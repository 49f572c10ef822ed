// Writing a generated table as tablebase files: one entry per index of the record's index
// routine, White to move in .nbw and Black to move in .nbb.
#pragma once
#include <cstddef>

#include "tablebase/generate_retro.h"

// 1 when the files were written; 0 with a message in `error` otherwise.
int GenWriteTableFiles(const GenTable* table, const char* dir, char* error, size_t errorSize);
