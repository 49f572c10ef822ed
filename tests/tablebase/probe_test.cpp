// Probes of written tables: values and their decoding, colour swaps, the en-passant rule,
// missing tables and sides, impossible square lists, the search's score, and four threads.
#include <atomic>
#include <thread>

#include "board/fen.h"
#include "board/make_move.h"
#include "board/piece_lists.h"
#include "board/root_ply.h"
#include "kestrane.h"
#include "tablebase/probe.h"
#include "tablebase/registry.h"
#include "tablebase/registry_fixture.h"
#include "tablebase/table_read.h"

namespace {

int Record(const char* name) {
  int record = EndgameRecordByName(name);
  EXPECT_GT(record, 0) << name;
  return record;
}


class TbProbe : public TablebaseFixture {};

TEST_F(TbProbe, WrittenResultsDecodeExactly) {
  const int krk = Record("krk"), kqkr = Record("kqkr");
  WriteTableFiles(dir.path, krk);
  WriteTableFiles(dir.path, kqkr);
  struct Case {
    int record;
    const char* fen;
    int32_t result;
  } cases[] = {
      {krk, "8/8/8/3k4/8/8/8/K6R w - - 0 1", 15},
      {krk, "8/8/8/3k4/8/8/8/K6R b - - 0 1", -15},
      {krk, "3k4/8/3K4/8/8/8/8/7R b - - 0 1", -1},
      {krk, "3k3R/8/3K4/8/8/8/8/8 b - - 0 1", -32767},  // checkmated
      {krk, "8/8/8/8/8/1k6/8/KR6 b - - 0 1", 0},         // the rook falls
      {kqkr, "7r/8/8/3k4/8/8/1Q6/K7 w - - 0 1", 30},
      {kqkr, "7r/8/8/3k4/8/8/1Q6/K7 b - - 0 1", -29},
  };
  for (const Case& c : cases) WriteResult(dir.path, c.record, ProbeArgsOfFen(c.fen).side, IndexOfPosition(c.record, ProbeArgsOfFen(c.fen)), c.result);
  EXPECT_EQ(InitExtern(dir.path), 4);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fen);
    int32_t result = 12345;
    ASSERT_EQ(Probe(ProbeArgsOfFen(c.fen), &result), 1);
    // One-byte tables have no "checkmated": that code reads as mated in 127.
    EXPECT_EQ(result, c.result == -32767 && EntrySizeOf(c.record) == 1 ? -127 : c.result);
  }
}

TEST_F(TbProbe, TwoByteEntriesDecodeEveryCode) {
  const int record = [] {
    for (int r = 1; r < EndgameRecordCount; ++r)
      if (EndgameTable[r].flags & EndgameTwoByte) return r;
    return 0;
  }();
  ASSERT_GT(record, 0);
  WriteTableFiles(dir.path, record);
  struct Case {
    int16_t raw;
    int32_t result;
  } cases[] = {{0, 0}, {32767, 0}, {32766, 1}, {1, 32766}, {-1, -32766}, {-32766, -1}, {-32767, -32767}, {-32768, 32767}};
  for (uint64_t i = 0; i < std::size(cases); ++i) {
    uint8_t bytes[2] = {uint8_t(cases[i].raw & 0xFF), uint8_t((cases[i].raw >> 8) & 0xFF)};
    WriteEntryBytes(dir.path, record, 0, i, bytes);
  }
  EXPECT_GE(InitExtern(dir.path), 3);
  for (uint64_t i = 0; i < std::size(cases); ++i) {
    int32_t raw = 0;
    ASSERT_EQ(ReadTableValue(record, 0, i, &raw), 1);
    EXPECT_EQ(raw, cases[i].raw) << i;
  }
}

TEST_F(TbProbe, OneByteEntriesWidenToTwoByteCodes) {
  const int krk = Record("krk");
  ASSERT_EQ(EntrySizeOf(krk), 1);
  WriteTableFiles(dir.path, krk);
  struct Case {
    int8_t byte;
    int32_t raw;
  } cases[] = {{0, 0}, {1, 32641}, {126, 32766}, {127, 32767}, {-1, -32641}, {-126, -32766}, {-127, -32640}, {-128, 32640}};
  for (uint64_t i = 0; i < std::size(cases); ++i) {
    uint8_t byte = uint8_t(cases[i].byte);
    WriteEntryBytes(dir.path, krk, 0, i, &byte);
  }
  EXPECT_EQ(InitExtern(dir.path), 3);
  for (uint64_t i = 0; i < std::size(cases); ++i) {
    int32_t raw = 0;
    ASSERT_EQ(ReadTableValue(krk, 0, i, &raw), 1);
    EXPECT_EQ(raw, cases[i].raw) << int(cases[i].byte);
  }
}

TEST_F(TbProbe, SevenKppkpEntriesAreFixed) {
  const int kppkp = Record("kppkp");
  ASSERT_EQ(kppkp, 36);
  WriteTableFiles(dir.path, kppkp);
  EXPECT_EQ(InitExtern(dir.path), 5);
  for (uint64_t index : {56802428ull, 56811076ull, 56849992ull, 56858640ull, 59592489ull, 67775659ull, 71071628ull}) {
    if (index >= IndexCountOf(kppkp, 1)) continue;
    int32_t raw = 0;
    ASSERT_EQ(ReadTableValue(kppkp, 1, index, &raw), 1);
    EXPECT_EQ(raw, -32639) << index;
    ASSERT_EQ(ReadTableValue(kppkp, 1, index + 1, &raw), 1);
    EXPECT_EQ(raw, 0);
    ASSERT_EQ(ReadTableValue(kppkp, 0, index, &raw), 1);
    EXPECT_EQ(raw, 0);
  }
}

TEST_F(TbProbe, SwappedColoursUseTheSameRecord) {
  const int kqkr = Record("kqkr"), kpk = Record("kpk");
  WriteTableFiles(dir.path, kqkr);
  WriteTableFiles(dir.path, kpk);
  struct Case {
    int record;
    const char* fen;  // in the record's colours
    int32_t result;
  } cases[] = {
      {kqkr, "7r/8/8/3k4/8/8/1Q6/K7 w - - 0 1", 21},
      {kqkr, "7r/8/8/3k4/8/8/1Q6/K7 b - - 0 1", -20},
      {kpk, "8/8/8/3k4/8/4P3/8/4K3 w - - 0 1", 17},
      {kpk, "8/8/8/3k4/8/4P3/8/4K3 b - - 0 1", -16},
  };
  for (const Case& c : cases) {
    ProbeArgs args = ProbeArgsOfFen(c.fen);
    WriteResult(dir.path, c.record, args.side, IndexOfPosition(c.record, args), c.result);
  }
  InitExtern(dir.path);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fen);
    int32_t direct = 0, swapped = 0;
    ASSERT_EQ(Probe(ProbeArgsOfFen(c.fen), &direct), 1);
    EXPECT_EQ(direct, c.result);
    ASSERT_EQ(Probe(ColourSwapped(ProbeArgsOfFen(c.fen)), &swapped), 1);
    EXPECT_EQ(swapped, c.result);
  }
}

TEST_F(TbProbe, EnPassantSquareCountsOnlyWhenACaptureIsPossible) {
  const int kpkp = Record("kpkp");
  WriteTableFiles(dir.path, kpkp);
  // Black has just played d7-d5 beside the White pawn on e5.
  const ProbeArgs capture = ProbeArgsOfFen("8/8/8/3pP3/8/8/k7/4K3 w - d6 0 1");
  const ProbeArgs noCapture = ProbeArgsOfFen("8/8/8/3pP3/8/8/k7/4K3 w - - 0 1");
  ASSERT_EQ(capture.ep, 43);
  const uint64_t epIndex = IndexOfPosition(kpkp, capture), plainIndex = IndexOfPosition(kpkp, noCapture);
  ASSERT_NE(epIndex, plainIndex);
  WriteResult(dir.path, kpkp, 0, epIndex, 3);
  WriteResult(dir.path, kpkp, 0, plainIndex, 8);
  InitExtern(dir.path);
  int32_t result = 0;
  ASSERT_EQ(Probe(capture, &result), 1);
  EXPECT_EQ(result, 3);
  ASSERT_EQ(Probe(noCapture, &result), 1);
  EXPECT_EQ(result, 8);
  // The same position given en-passant squares no pawn can take on: read as none.
  for (int ep : {44, 42, 19, 63, -5, 64, 1000}) {
    ProbeArgs args = noCapture;
    args.ep = ep;
    ASSERT_EQ(Probe(args, &result), 1) << ep;
    EXPECT_EQ(result, 8) << ep;
  }
  // The colour-swapped twin: White's d2-d4 beside the Black pawn on e4.
  const ProbeArgs blackCapture = ProbeArgsOfFen("4k3/K7/8/8/3Pp3/8/8/8 b - d3 0 1");
  ASSERT_EQ(blackCapture.ep, 19);
  ASSERT_EQ(Probe(blackCapture, &result), 1);
  EXPECT_EQ(result, 3);  // the colour-swapped twin of the first position
}

TEST_F(TbProbe, MissingEndgameOrSideGivesZero) {
  const int krk = Record("krk");
  WriteTableSide(dir.path, krk, 1);
  InitExtern(dir.path);
  int32_t result = 77;
  EXPECT_EQ(Probe(ProbeArgsOfFen("8/8/8/3k4/8/8/8/K6R w - - 0 1"), &result), 0);  // side missing
  EXPECT_EQ(Probe(ProbeArgsOfFen("8/8/8/3k4/8/8/8/K6Q w - - 0 1"), &result), 0);  // endgame missing
  EXPECT_EQ(Probe(ProbeArgsOfFen("8/8/8/3k4/8/8/8/K7 w - - 0 1"), &result), 0);   // bare kings
  EXPECT_EQ(result, 77);
  EXPECT_EQ(Probe(ProbeArgsOfFen("8/8/8/3k4/8/8/8/K6R b - - 0 1"), &result), 1);
  EXPECT_EQ(result, 0);
}

TEST_F(TbProbe, ImpossibleSquareListsAreRefused) {
  WriteTableFiles(dir.path, Record("krk"));
  WriteTableFiles(dir.path, Record("kpk"));
  InitExtern(dir.path);
  const ProbeArgs good = ProbeArgsOfFen("8/8/8/3k4/8/8/8/K6R w - - 0 1");
  int32_t result;
  ASSERT_EQ(Probe(good, &result), 1);
  struct Case {
    const char* what;
    void (*spoil)(ProbeArgs*);
  } cases[] = {
      {"rook on the king's square", [](ProbeArgs* a) { a->white[16] = a->white[0]; }},
      {"rook on the other king", [](ProbeArgs* a) { a->white[16] = a->black[0]; }},
      {"kings on one square", [](ProbeArgs* a) { a->black[0] = a->white[0]; }},
      {"square 64", [](ProbeArgs* a) { a->white[16] = 64; }},
      {"square -1", [](ProbeArgs* a) { a->white[16] = -1; }},
      {"huge square", [](ProbeArgs* a) { a->black[0] = 1 << 30; }},
      {"king missing", [](ProbeArgs* a) { a->white[0] = -1; }},
      {"second rook counted, not given", [](ProbeArgs* a) { a->counts[3] = 2, a->white[17] = -7; }},
      {"five rooks", [](ProbeArgs* a) { a->counts[3] = 5; }},
      {"negative count", [](ProbeArgs* a) { a->counts[8] = -1; }},
      {"count of 1000", [](ProbeArgs* a) { a->counts[0] = 1000; }},
      {"pawn on the first rank", [](ProbeArgs* a) { a->counts[3] = 0, a->counts[0] = 1, a->white[4] = 3; }},
      {"pawn on the last rank", [](ProbeArgs* a) { a->counts[3] = 0, a->counts[0] = 1, a->white[4] = 60; }},
      {"side 2", [](ProbeArgs* a) { a->side = 2; }},
      {"side -1", [](ProbeArgs* a) { a->side = -1; }},
  };
  for (const Case& c : cases) {
    ProbeArgs args = good;
    c.spoil(&args);
    result = 99;
    EXPECT_EQ(Probe(args, &result), 0) << c.what;
    EXPECT_EQ(result, 99) << c.what;
  }
  EXPECT_EQ(TBProbeList(nullptr, good.white, good.black, 0, 0, &result), 0);
  EXPECT_EQ(TBProbeList(good.counts, nullptr, good.black, 0, 0, &result), 0);
  EXPECT_EQ(TBProbeList(good.counts, good.white, good.black, 0, 0, nullptr), 0);
}

// The search's wrapper on an engine position.
int SearchScore(const char* fen) {
  static Position pos;
  RootState state;
  EXPECT_EQ(ParseFen(fen, pos.board, &state), 1);
  BuildPieceLists(&pos);
  BuildAttackTables(&pos);
  pos.keyPtr = nullptr;
  return ProbeTablebase(&pos, SetupRootPly(&pos, state.side, state.flags));
}

TEST_F(TbProbe, SearchScoresFromResults) {
  const int kqkr = Record("kqkr");
  WriteTableFiles(dir.path, kqkr);
  struct Case {
    const char* fen;
    int32_t result;
    int score;
  } cases[] = {
      {"7r/8/8/3k4/8/8/1Q6/K7 w - - 0 1", 1, 29998},
      {"7r/8/8/3k4/8/8/1Q6/K7 b - - 0 1", -1, -30000},
      {"7r/8/8/4k3/8/8/1Q6/K7 w - - 0 1", 20, 29960},
      {"7r/8/8/4k3/8/8/1Q6/K7 b - - 0 1", -20, -29962},
      {"7r/8/8/5k2/8/8/1Q6/K7 w - - 0 1", 0, 0},
      {"7r/8/8/5k2/8/8/1Q6/K7 b - - 0 1", -32767, -30000},  // checkmated: the lowest score
  };
  for (const Case& c : cases) {
    ProbeArgs args = ProbeArgsOfFen(c.fen);
    WriteResult(dir.path, kqkr, args.side, IndexOfPosition(kqkr, args), c.result);
  }
  InitExtern(dir.path);
  for (const Case& c : cases) {
    // One-byte tables read "checkmated" as mated in 127.
    const int expected = c.result == -32767 && EntrySizeOf(kqkr) == 1 ? (-15001 + 127) * 2 : c.score;
    EXPECT_EQ(SearchScore(c.fen), expected) << c.fen;
  }
  // Black queen against White rook: the same table through the colour swap.
  EXPECT_EQ(SearchScore("k7/1q6/8/8/3K4/8/8/7R b - - 0 1"), 29998);
  EXPECT_EQ(SearchScore("8/8/8/3k4/8/8/8/K6R w - - 0 1"), NoTablebaseResult);
}

// Four threads probing at once, while a fifth closes the files between probes.
TEST_F(TbProbe, FourThreadsProbeAtOnce) {
  const int krk = Record("krk"), kqkr = Record("kqkr");
  WriteTableFiles(dir.path, krk);
  WriteTableFiles(dir.path, kqkr);
  const char* fens[] = {"8/8/8/3k4/8/8/8/K6R w - - 0 1", "8/8/8/3k4/8/8/8/K6R b - - 0 1",
                        "7r/8/8/3k4/8/8/1Q6/K7 w - - 0 1", "7r/8/8/3k4/8/8/1Q6/K7 b - - 0 1"};
  const int32_t results[] = {12, -11, 25, -24};
  for (int i = 0; i < 4; ++i) {
    ProbeArgs args = ProbeArgsOfFen(fens[i]);
    int record = i < 2 ? krk : kqkr;
    WriteResult(dir.path, record, args.side, IndexOfPosition(record, args), results[i]);
  }
  InitExtern(dir.path);
  std::atomic<int> wrong{0}, running{4};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int n = 0; n < 2000; ++n) {
        int i = (t + n) % 4;
        int32_t result = 0;
        if (Probe(ProbeArgsOfFen(fens[i]), &result) != 1 || result != results[i]) wrong++;
        if (TBMaxPiece() != 4) wrong++;
      }
      running--;
    });
  threads.emplace_back([&] {
    while (running.load() > 0) {
      TBNewGame();
      std::this_thread::yield();
    }
  });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
