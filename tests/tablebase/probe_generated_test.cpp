// Generated KQK and KRK files answered end to end: every placement through TBProbeList (the
// longest wins, colour swaps), and `kestrane tb probe` on the longest KRK win.
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "kestrane.h"
#include "tablebase/generated_tables.h"
#include "tablebase/registry_fixture.h"

namespace {

struct Scan {
  int longestWin = 0;        // White to move
  int longestLoss = 0;       // Black to move, mated in n
  int blackWins = 0;
  int swapMismatches = 0;
  int notFound = 0;          // legal positions the probe did not answer
  ProbeArgs longest;         // a White-to-move position of the longest win
};


// Whether a rook (or queen) on `from` attacks `to` with `blocker` the only other piece.
bool LineAttacks(int kind, int from, int to, int blocker) {
  int df = to % 8 - from % 8, dr = to / 8 - from / 8;
  bool straight = df == 0 || dr == 0, diagonal = abs(df) == abs(dr);
  if (from == to || !((straight) || (kind == TbQueen && diagonal))) return false;
  int step = (dr > 0 ? 8 : dr < 0 ? -8 : 0) + (df > 0 ? 1 : df < 0 ? -1 : 0);
  for (int sq = from + step; sq != to; sq += step)
    if (sq == blocker) return false;
  return true;
}

// Every placement of White king and piece of `kind` against the Black king, both sides to move.
Scan ScanThreePiece(int kind) {
  Scan scan;
  for (int wk = 0; wk < 64; ++wk)
    for (int bk = 0; bk < 64; ++bk) {
      if (abs(wk % 8 - bk % 8) <= 1 && abs(wk / 8 - bk / 8) <= 1) continue;
      for (int piece = 0; piece < 64; ++piece) {
        if (piece == wk || piece == bk) continue;
        for (int side = 0; side < 2; ++side) {
          ProbeArgs args;
          args.counts[kind - 1] = 1;
          args.white[0] = wk;
          args.white[4 * kind] = piece;
          args.black[0] = bk;
          args.side = side;
          int32_t result = 0, swapped = 0;
          if (!Probe(args, &result)) {
            // Only a position with Black in check and White to move may have no index.
            if (!(side == 0 && LineAttacks(kind, piece, bk, wk))) ++scan.notFound;
            continue;
          }
          if (!Probe(ColourSwapped(args), &swapped) || swapped != result) ++scan.swapMismatches;
          if (side == 0 && result > scan.longestWin) {
            scan.longestWin = result;
            scan.longest = args;
          }
          if (side == 1 && result > 0) ++scan.blackWins;
          if (side == 1 && result < 0 && result > -127 && -result > scan.longestLoss) scan.longestLoss = -result;
        }
      }
    }
  return scan;
}

std::string FenOf(const ProbeArgs& args) {
  char board[64];
  for (char& c : board) c = 0;
  static const char Letters[] = " PNBRQ";
  board[args.white[0]] = 'K';
  board[args.black[0]] = 'k';
  for (int kind = 1; kind <= 5; ++kind)
    for (int i = 0; i < args.counts[kind - 1]; ++i) board[args.white[4 * kind + i]] = Letters[kind];
  std::string fen;
  for (int rank = 7; rank >= 0; --rank) {
    int empty = 0;
    for (int file = 0; file < 8; ++file) {
      char c = board[rank * 8 + file];
      if (!c) {
        ++empty;
        continue;
      }
      if (empty) fen += char('0' + empty);
      empty = 0;
      fen += c;
    }
    if (empty) fen += char('0' + empty);
    if (rank) fen += '/';
  }
  return fen + (args.side ? " b - - 0 1" : " w - - 0 1");
}

std::string Output(const std::string& command, int* status) {
  std::string out;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
  int code = pclose(pipe);
  *status = WIFEXITED(code) ? WEXITSTATUS(code) : -1;
  return out;
}

std::string KestraneProgram() {
  char self[PATH_MAX] = {};
  ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string path(self, length > 0 ? size_t(length) : 0);
  return path.substr(0, path.rfind('/') + 1) + "kestrane";
}

class TbProbeGenerated : public TablebaseFixture {
 protected:
  void SetUp() override {
    TablebaseFixture::SetUp();
    static const char* const Names[] = {"kqk", "krk"};
    tables = GeneratedTablesDir(Names, 2);
    ASSERT_NE(tables, nullptr) << GeneratedTablesError();
  }
  const char* tables = nullptr;
};

// Two million probes: the slow tier.
class SlowTbProbeGenerated : public TbProbeGenerated {};

TEST_F(SlowTbProbeGenerated, LongestWinsAndColourSwapsThroughTBProbeList) {
  ASSERT_GE(InitExtern(tables), 3);  // the shared directory may hold larger tables too
  struct Case {
    int kind;
    int longest;
  } cases[] = {{TbQueen, 10}, {TbRook, 16}};
  for (const Case& c : cases) {
    Scan scan = ScanThreePiece(c.kind);
    EXPECT_EQ(scan.notFound, 0);
    EXPECT_EQ(scan.swapMismatches, 0);
    EXPECT_EQ(scan.blackWins, 0);
    EXPECT_EQ(scan.longestWin, c.longest);
    EXPECT_GE(scan.longestLoss, c.longest - 1);
    EXPECT_LE(scan.longestLoss, c.longest);
  }
}

TEST_F(TbProbeGenerated, ProbeCommandOnTheLongestRookWin) {
  ASSERT_GE(InitExtern(tables), 3);  // the shared directory may hold larger tables too
  Scan scan = ScanThreePiece(TbRook);
  ASSERT_EQ(scan.longestWin, 16);
  const std::string fen = FenOf(scan.longest);
  int status = -1;
  std::string out = Output(KestraneProgram() + " tb probe --path " + tables + " '" + fen + "'", &status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_EQ(out.find("White to move: mate in 16\n"), 0u) << fen << "\n" << out;
  // The best move keeps the mate in 16; no move mates faster.
  size_t header = out.find("result for the side moving\n");
  ASSERT_NE(header, std::string::npos) << out;
  size_t firstRow = header + strlen("result for the side moving\n");
  std::string first = out.substr(firstRow, out.find('\n', firstRow) - firstRow);
  EXPECT_NE(first.find("mate in 16"), std::string::npos) << out;
  for (int n = 1; n < 16; ++n) EXPECT_EQ(out.find(" mate in " + std::to_string(n) + "\n"), std::string::npos) << out;
  // The same from standard input, with the mated side's view of a position after the best move.
  std::string lines = Output("printf '" + fen + "\\n' | " + KestraneProgram() + " tb probe --path " + tables, &status);
  EXPECT_EQ(lines.find("mate in 16, best " + first.substr(0, first.find(' '))), 0u) << lines;
}

}  // namespace
