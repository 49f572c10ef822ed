// Writing a generated table as tablebase files: for every index of the record's layout the
// value of the position behind it, White to move in .nbw and Black to move in .nbb (one file
// for symmetric records), split into parts where the record says so.
#pragma once

#include "tablebase/generate_tables.h"

// 1 when the files were written; 0 with a message in session->error otherwise.
int GenWriteTableFiles(GenSession* session, const GenTable* table);
