// Writes src/tablebase/endgame_table.cpp: every record's flags and index counts derived from
// the indexing rule (TbDerivedIndexCount) and the flag rule (TbDerivedFlags).
//   build/tb_index_table > src/tablebase/endgame_table.cpp
#include <cstdio>
#include <cstring>

#include "tablebase/endgame_table.h"
#include "tablebase/index_count.h"

int main() {
  printf("%s",
         "// The endgame table: the records in file-family order with their flags, index routines and\n"
         "// index counts. Written by tools/tb_index_table from the indexing rule in index_layout.cpp\n"
         "// and the flag rule in index_count.cpp; a test recomputes both.\n"
         "#include \"tablebase/endgame_table.h\"\n\n"
         "#include <cstring>\n\n"
         "#include \"tablebase/index_routines.h\"\n\n"
         "const EndgameRecord EndgameTable[EndgameRecordCount] = {\n"
         "    {0, nullptr, nullptr, \"kk\", 0, 0},\n");
  for (int r = 1; r < EndgameRecordCount; r++) {
    uint64_t w = TbDerivedIndexCount(r, 0), b = TbDerivedIndexCount(r, 1);
    uint32_t flags = TbDerivedFlags(r, w, b);
    char black[48];
    if (flags & EndgameSymmetric) snprintf(black, sizeof black, "TbSymmetricBlackIndex<%d>", r);
    else snprintf(black, sizeof black, "TbRecordIndex<%d, 1>", r);
    printf("    {%u, TbRecordIndex<%d, 0>, %s, \"%s\", %lluu, %lluu},\n", flags, r, black,
           EndgameTable[r].name, (unsigned long long)w, (unsigned long long)b);
  }
  printf("%s",
         "};\n\n"
         "int EndgameRecordByName(const char* name) {\n"
         "  if (name == nullptr || strlen(name) >= sizeof EndgameTable[0].name) return 0;\n"
         "  for (int i = 1; i < EndgameRecordCount; i++)\n"
         "    if (strcmp(EndgameTable[i].name, name) == 0) return i;\n"
         "  return 0;\n"
         "}\n");
  return 0;
}
