// The generator's names of materials against the table of records.
#include <gtest/gtest.h>

#include <cstring>

#include "tablebase/endgame_table.h"
#include "tablebase/generate_position.h"

namespace {

// Every record up to five pieces is a name the generator takes as it stands, and the
// colour-swapped material of a position is named as the record names it.
TEST(TbGenerateMaterial, NamesFollowTheRecordTable) {
  for (int record = 1; record < FirstSixPieceRecord; record++) {
    const char* name = EndgameTable[record].name;
    GenMaterial mat;
    ASSERT_EQ(ParseMaterialName(name, &mat), 1) << name;
    GenPos pos{};
    pos.men = int8_t(mat.men);
    for (int i = 0; i < mat.men; i++)
      pos.sq[i] = int8_t(i), pos.kind[i] = mat.kind[i], pos.color[i] = int8_t(1 - mat.color[i]);
    GenMaterial named;
    int swapped;
    MaterialOfPosition(&pos, &named, &swapped);
    EXPECT_STREQ(named.name, name);
    bool symmetric = (EndgameTable[record].flags & EndgameSymmetric) != 0;
    EXPECT_EQ(swapped, symmetric ? 0 : 1) << name;
  }
}

TEST(TbGenerateMaterial, BadNames) {
  GenMaterial mat;
  for (const char* name : {"", "k", "kk", "kqk7", "qkk", "kqkrk", "kqqqkrr", "kqkx"})
    EXPECT_EQ(ParseMaterialName(name, &mat), 0) << name;
}

}  // namespace
