// Tables generated once per test run and shared by every test that needs them: in memory
// for the generator's own tests, and as files in a temporary directory for tests that read
// tablebase files.
#pragma once
#include "tablebase/generate_tables.h"

// The table of an endgame ("kqkr"), generated with what it needs on first use; null on
// failure (GeneratedTablesError says why).
const GenTable* GeneratedTable(const char* name);
const GenSummary* GeneratedSummary(const char* name);
const char* GeneratedTablesError();
// The value of a position from the generated tables (generated on demand); GenBroken when
// it is no legal position.
uint16_t GeneratedValue(const GenPos* pos);
// The value of a position given as FEN from the generated tables (generated on demand);
// GenBroken when the FEN is not a position of up to five men.
uint16_t GeneratedValueOfFen(const char* fen);
// A temporary directory holding the files of the named endgames, written on first use and
// removed when the test program ends; null on failure.
const char* GeneratedTablesDir(const char* const* names, int count);
