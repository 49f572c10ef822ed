#include <gtest/gtest.h>

#include <string>

#include "api/engine_fixture.h"
#include "protocol/run_command.h"
#include "search/trans_table.h"

class HashOption : public EngineFixture {
 protected:
  void TearDown() override { Exec("setoption name Hash value 4"); }
};

TEST_F(HashOption, StartUpSplitsTheHashFourToOne) {
  // KestraneInit was given 4096 KB: ceil(4096 * 4 / 5) and the rest.
  KestraneQuit();
  ASSERT_EQ(KestraneInit(TestHashKb, &RecordingCallbacks, EngineDirectory().c_str(), 0), TestHashKb);
  EXPECT_EQ(TransTableKb(), 3277);
  EXPECT_EQ(EvalCacheKb(), 819);
}

TEST_F(HashOption, MegabytesAreClampedAndSplit) {
  struct Case {
    const char* value;
    int transKb, evalKb;  // after the command
  } cases[] = {
      {"2", 3277, 819},   // 2 MB is below the 4 MB floor
      {"8", 6554, 1638},
      {"1", 6554, 1638},  // 1 MB or less is ignored
      {"0", 6554, 1638},
      {"-50", 6554, 1638},
      {"x", 6554, 1638},
      {"5", 4096, 1024},
  };
  for (const Case& c : cases) {
    Exec(std::string("setoption name Hash value ") + c.value);
    EXPECT_EQ(TransTableKb(), c.transKb) << c.value;
    EXPECT_EQ(EvalCacheKb(), c.evalKb) << c.value;
  }
}
