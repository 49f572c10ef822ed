// The evaluation's king-and-pawn rule table against the generated KPK table, on every
// placement with either colour owning the pawn and either side to move.
#include <gtest/gtest.h>

#include "eval/kpk.h"
#include "tablebase/generate_tables.h"
#include "tablebase/generated_tables.h"

namespace {

TEST(TbGenerateKpk, KpkWinsAgreesWithTheTable) {
  ASSERT_NE(GeneratedTable("kpk"), nullptr) << GeneratedTablesError();
  int checked = 0, disagreements = 0;
  for (int pawnSide = 0; pawnSide < 2; pawnSide++)
    for (int side = 0; side < 2; side++)
      for (int pawn = 8; pawn < 56; pawn++)
        for (int strong = 0; strong < 64; strong++)
          for (int weak = 0; weak < 64; weak++) {
            if (strong == weak || strong == pawn || weak == pawn) continue;
            GenPos pos{};
            pos.men = 3;
            pos.side = int8_t(side);
            pos.epMan = -1;
            pos.sq[pawnSide] = int8_t(strong), pos.sq[pawnSide ^ 1] = int8_t(weak), pos.sq[2] = int8_t(pawn);
            pos.kind[0] = pos.kind[1] = GenKing, pos.color[0] = 0, pos.color[1] = 1;
            pos.kind[2] = 1, pos.color[2] = int8_t(pawnSide);
            uint16_t value = GeneratedValue(&pos);
            if (value == GenBroken) continue;
            bool mateNow;
            int moves = GenValueMoves(value, &mateNow);
            bool pawnSideWins = side == pawnSide ? moves > 0 : (moves < 0 || mateNow);
            int says = KpkWins(side, pawnSide, strong + 1, weak + 1, pawn + 1);
            checked++;
            if ((says == 500) != pawnSideWins) {
              if (++disagreements <= 5)
                ADD_FAILURE() << "side " << side << " pawn side " << pawnSide << " strong king " << strong
                              << " weak king " << weak << " pawn " << pawn << ": KpkWins " << says << ", table "
                              << moves;
            }
          }
  EXPECT_EQ(disagreements, 0);
  EXPECT_GT(checked, 300000);
}

}  // namespace
