#include "cli/analyse_command.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/playable.h"
#include "cli/uci_moves.h"
#include "cli/uci_output.h"
#include "cli/uci_tablebase.h"
#include "kestrane.h"
#include "protocol/interpreter.h"

static int Usage() {
  fprintf(stderr,
          "usage: kestrane analyse [--fen FEN] [--depth D | --movetime MS | --nodes N] [--multipv K]"
          " [--path DIR[;DIR]]\n");
  return 2;
}

static bool IsCount(const char* text) {
  if (!*text) return false;
  for (const char* c = text; *c; ++c)
    if (*c < '0' || *c > '9') return false;
  return strlen(text) <= 9;
}

static int Execute(const std::string& line) {
  std::vector<char> text(line.begin(), line.end());
  text.push_back(0);
  return ExecuteCommand(text.data());
}

int AnalyseCommand(int argc, char** argv) {
  std::string fen, limit = "depth 10", lines = "1", paths;
  bool tablebases = false;
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    if (i + 1 >= argc) return Usage();
    const char* value = argv[++i];
    if (option == "--fen") {
      fen = value;
    } else if ((option == "--depth" || option == "--movetime" || option == "--nodes") && IsCount(value)) {
      limit = option.substr(2) + " " + value;
    } else if (option == "--path") {
      paths = value;
      tablebases = true;
    } else if (option == "--multipv" && IsCount(value) && atoi(value) >= 1 && atoi(value) <= 20) {
      lines = value;
    } else {
      return Usage();
    }
  }
  std::string position = fen.empty() ? "position startpos" : "position fen " + fen;
  int8_t board[65];
  RootState state;
  if (!fen.empty() && !(ParseFen(fen.c_str(), board, &state) && IsPlayablePosition(board, &state))) {
    fprintf(stderr, "kestrane analyse: not a playable FEN: %s\n", fen.c_str());
    return 2;
  }

  OutputSink = InfoOutputSink;
  if (KestraneInit(32 * 1024, InfoCallbacks(), "./", 0) < 0) {
    fprintf(stderr, "kestrane analyse: not enough memory for the hash tables\n");
    return 1;
  }
  if (tablebases && !UseTablebasePaths(paths)) {
    KestraneQuit();
    return 2;
  }
  Execute("setoption name Position Learning value false");
  Execute("setoption name MultiPV value " + lines);
  Execute(position);
  Execute("go " + limit);
  PrintLine(CheckedBestMove(TakeBestMoveText()));
  KestraneQuit();
  return 0;
}
