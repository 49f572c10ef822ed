#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "api/engine_fixture.h"
#include "eval/eval_cache.h"
#include "protocol/run_command.h"
#include "search/trans_table.h"

// The "Hash" option through the interpreter, with the info strings it answers.
class HashOption : public InfoStringFixture {
 protected:
  void TearDown() override {
    InfoStringFixture::TearDown();
    Exec("setoption name Hash value 4");
  }
};

TEST_F(HashOption, StartUpSplitsTheHashFourToOne) {
  // KestraneInit was given 4096 KB: ceil(4096 * 4 / 5) and the rest.
  KestraneQuit();
  ASSERT_EQ(KestraneInit(TestHashKb, &RecordingCallbacks, EngineDirectory().c_str(), 0), TestHashKb);
  EXPECT_EQ(TransTableKb(), 3277);
  EXPECT_EQ(EvalCacheKilobytes(), 819);
}

// Every accepted value is answered with the sizes in force, a refused one with what was wrong.
TEST_F(HashOption, MegabytesAreClampedAndSplit) {
  struct Case {
    const char* value;
    int transKb, evalKb;  // after the command
    bool accepted;
  } cases[] = {
      {"2", 3277, 819, true},  // 2 MB is below the 4 MB floor
      {"8", 6554, 1638, true},
      {"1", 6554, 1638, false},  // 1 MB or less is refused
      {"0", 6554, 1638, false},
      {"-50", 6554, 1638, false},
      {"x", 6554, 1638, false},
      {"5", 4096, 1024, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    Notes().clear();
    Exec(std::string("setoption name Hash value ") + c.value);
    EXPECT_EQ(TransTableKb(), c.transKb);
    EXPECT_EQ(EvalCacheKilobytes(), c.evalKb);
    const std::string note = c.accepted ? "Hash: transposition table " + std::to_string(c.transKb) +
                                              " KB, evaluation cache " + std::to_string(c.evalKb) + " KB"
                                        : std::string("setoption: 'Hash' does not take the value '") + c.value + "'";
    ASSERT_EQ(Notes().size(), 1u);
    EXPECT_EQ(Notes()[0], note);
  }
}
