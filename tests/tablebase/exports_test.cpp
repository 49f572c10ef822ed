// The exported tablebase functions against bad input: settings files, path lists, files of
// the wrong kind, cache sizes; no file stays open; the engine's start-up hook.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <fstream>

#include "api/engine_fixture.h"
#include "kestrane.h"
#include "search/search.h"
#include "tablebase/registry.h"
#include "tablebase/registry_fixture.h"
#include "tablebase/tb_settings.h"

namespace {

int Record(const char* name) { return EndgameRecordByName(name); }

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// Runs with the current directory set to a directory, as KestraneInit leaves it.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& path) {
    EXPECT_NE(getcwd(saved_, sizeof saved_), nullptr);
    EXPECT_EQ(chdir(path.c_str()), 0);
  }
  ~CurrentDirectory() { EXPECT_EQ(chdir(saved_), 0); }

 private:
  char saved_[PATH_MAX];
};

class TbExports : public TablebaseFixture {};

TEST(TbSettings, CacheSizeText) {
  const uint64_t MB = 1048576;
  struct Case {
    const char* text;
    uint64_t bytes;
  } cases[] = {
      {"", MB},          {"4096", 4096 * 1024}, {"  8192 ", 8192 * 1024}, {"+2048", 2048 * 1024},
      {"1", MB},         {"0", MB},             {"-4096", MB},            {"-99999999999999999999", MB},
      {"junk", MB},      {"3000junk", 3000 * 1024}, {"99999999999999999999999", MaxTableCacheBytes},
      {"2147483647", MaxTableCacheBytes}, {"1048576", MaxTableCacheBytes}, {"1048575", 1048575ull * 1024},
  };
  for (const Case& c : cases) EXPECT_EQ(CacheBytesOfText(c.text), c.bytes) << c.text;
  EXPECT_EQ(CacheBytesOfKilobytes(INT32_MIN), MB);
  EXPECT_EQ(CacheBytesOfKilobytes(INT64_MAX), MaxTableCacheBytes);
}

TEST_F(TbExports, SettingsFileGivesPathAndCache) {
  WriteTableFiles(dir.path, Record("krk"));
  TempDirectory engine;
  CurrentDirectory inEngine(engine.path);
  static const char Junk[] = "\x01\xff[Table\0base]\n=\n==\n[\n]]\nPath\n";
  struct Case {
    const char* what;
    std::string text;
    int pieces;
  } cases[] = {
      {"plain", "[Tablebase]\nPath=" + dir.path + "\nCacheSizeKB=4096\n", 3},
      {"windows lines, blanks, other case", "; tables\r\n[ tablebase ]\r\n  path =  " + dir.path + "  \r\n", 3},
      {"junk cache", "[Tablebase]\nCacheSizeKB=lots\nPath=" + dir.path + "\n", 3},
      {"negative cache", "[Tablebase]\nCacheSizeKB=-5000\nPath=" + dir.path + "\n", 3},
      {"huge cache", "[Tablebase]\nCacheSizeKB=99999999999999999999\nPath=" + dir.path + "\n", 3},
      {"quoted", "[Tablebase]\nPath=\"" + dir.path + "\"\n", 3},
      {"other section", "[Engine]\nPath=" + dir.path + "\n[Tablebase]\nCacheSizeKB=2048\n", 0},
      {"no section", "Path=" + dir.path + "\n", 0},
      {"junk", std::string(Junk, sizeof Junk - 1) + std::string(5000, 'x'), 0},
      {"long line before", "[Tablebase]\n" + std::string(100000, 'p') + "\nPath=" + dir.path + "\n", 3},
      {"empty path", "[Tablebase]\nPath=\n", 0},
  };
  for (const Case& c : cases) {
    WriteText("Morvelin.ini", c.text);
    TBInit();
    EXPECT_EQ(TBMaxPiece(), c.pieces) << c.what;
    TBExit();
  }
  ASSERT_EQ(remove("Morvelin.ini"), 0);
  TBInit();
  EXPECT_EQ(TBMaxPiece(), 0);
  TBExit();
}

TEST_F(TbExports, FilesOfTheWrongKindAreSkipped) {
  const int krk = Record("krk");
  ASSERT_EQ(mkdir(dir.File("krk.nbw").c_str(), 0755), 0);            // a directory
  ASSERT_EQ(mkfifo(dir.File("krk.nbb").c_str(), 0644), 0);           // a pipe: must not hang
  ASSERT_EQ(symlink("/nonexistent/kqk", dir.File("kqk.nbw").c_str()), 0);  // dangling link
  WriteSparseFile(dir.File("kqk.nbb"), TablePartBytes(Record("kqk"), 1));
  WriteSparseFile(dir.File("krkp.nbw"), TablePartBytes(Record("krkp"), 0) / 2);    // truncated
  WriteSparseFile(dir.File("krkp.nbb"), TablePartBytes(Record("krkp"), 1) * 2);    // oversized
  WriteSparseFile(dir.File("kbk.nbw"), TablePartBytes(Record("kbk"), 0));
  if (geteuid() != 0) {
    ASSERT_EQ(chmod(dir.File("kbk.nbw").c_str(), 0), 0);  // unreadable
  }
  const int before = OpenFileCount();
  const int pieces = InitExtern(dir.path);
  EXPECT_EQ(OpenFileCount(), before);
  EXPECT_FALSE(FileSideIsRegistered(krk, 0));
  EXPECT_FALSE(FileSideIsRegistered(krk, 1));
  EXPECT_FALSE(FileSideIsRegistered(Record("kqk"), 0));
  EXPECT_TRUE(FileSideIsRegistered(Record("kqk"), 1));
  EXPECT_FALSE(FileSideIsRegistered(Record("krkp"), 0));
  EXPECT_FALSE(FileSideIsRegistered(Record("krkp"), 1));
  EXPECT_EQ(FileSideIsRegistered(Record("kbk"), 0), geteuid() == 0);
  EXPECT_EQ(pieces, 3);
}

TEST_F(TbExports, PathListsOfAnyShape) {
  WriteTableFiles(dir.path, Record("krk"));
  std::string manyMissing;
  for (int i = 0; i < 100; ++i) manyMissing += "/no/such/" + std::string(200, char('a' + i % 26)) + (i % 3 ? ";" : ",;,");
  const std::string longName(5000, 'd'), longComponent = "/tmp/" + std::string(300, 'c');
  struct Case {
    std::string list;
    int pieces;
  } cases[] = {
      {"", 0},
      {";;;,,,;", 0},
      {" ; , ", 0},
      {manyMissing, 0},
      {manyMissing + dir.path, 3},
      {longName + ";" + dir.path + ";" + longName, 3},
      {longComponent + "," + longComponent + "/" + longComponent, 0},
      {std::string(100000, ';') + dir.path, 3},
      {"C:\\tablebases;Z:;" + dir.path, 3},
      {dir.path + "/krk.nbw", 0},  // a file, not a directory
  };
  const int before = OpenFileCount();
  for (const Case& c : cases) {
    EXPECT_EQ(InitExtern(c.list), c.pieces) << c.list.substr(0, 80);
    TBExit();
    --initCalls;
  }
  EXPECT_EQ(TBInitExtern(nullptr, 0), 0);
  TBExit();
  EXPECT_EQ(OpenFileCount(), before);
}

TEST_F(TbExports, CacheSizesFromTheHost) {
  WriteTableFiles(dir.path, Record("krk"));
  for (int32_t kb : {INT32_MIN, -1, 0, 1, 1024, 65536, INT32_MAX}) {
    EXPECT_EQ(TBInitExtern(dir.path.c_str(), kb), 3) << kb;
    TBExit();
  }
}

TEST_F(TbExports, FilesOpenOnlyBetweenNewGames) {
  const int krk = Record("krk"), kqk = Record("kqk");
  WriteTableFiles(dir.path, krk);
  WriteTableFiles(dir.path, kqk);
  const int before = OpenFileCount();
  InitExtern(dir.path);
  EXPECT_EQ(OpenFileCount(), before);
  int32_t result;
  const char* fens[] = {"8/8/8/3k4/8/8/8/K6R w - - 0 1", "8/8/8/3k4/8/8/8/K6R b - - 0 1",
                        "8/8/8/3k4/8/8/8/K6Q w - - 0 1", "8/8/8/3k4/8/8/8/K6Q b - - 0 1"};
  for (const char* fen : fens) EXPECT_EQ(Probe(ProbeArgsOfFen(fen), &result), 1) << fen;
  EXPECT_EQ(OpenFileCount(), before + 4);
  TBNewGame();
  EXPECT_EQ(OpenFileCount(), before);
  for (const char* fen : fens) EXPECT_EQ(Probe(ProbeArgsOfFen(fen), &result), 1) << fen;
  TBExit();
  --initCalls;
  EXPECT_EQ(OpenFileCount(), before);
  // A file that vanishes after registration: the probe fails, nothing stays open.
  InitExtern(dir.path);
  ASSERT_EQ(remove(dir.File("krk.nbw").c_str()), 0);
  EXPECT_EQ(Probe(ProbeArgsOfFen(fens[0]), &result), 0);
  EXPECT_EQ(Probe(ProbeArgsOfFen(fens[2]), &result), 1);
  TBNewGame();
  EXPECT_EQ(OpenFileCount(), before);
}

TEST_F(TbExports, HasEndgamesFillsOnlyWhatItIsGiven) {
  WriteTableFiles(dir.path, Record("krk"));
  InitExtern(dir.path);
  uint8_t present[EndgameRecordCount + 8];
  memset(present, 9, sizeof present);
  EXPECT_EQ(TBHasEndgames(present, 5), 5);
  EXPECT_EQ(present[Record("krk")], 1);
  EXPECT_EQ(present[0], 0);
  EXPECT_EQ(present[5], 9);
  EXPECT_EQ(TBHasEndgames(present, int32_t(sizeof present)), int32_t(sizeof present));
  EXPECT_EQ(present[EndgameRecordCount], 9);
  EXPECT_EQ(TBHasEndgames(present, -3), -3);
  EXPECT_EQ(TBHasEndgames(nullptr, 10), 0);
}

// KestraneInit reads the settings file of the engine directory and hands the search the
// piece limit; KestraneQuit lets go again.
TEST_F(TbExports, EngineStartUpUsesTheSettingsFile) {
  WriteTableFiles(dir.path, Record("krk"));
  const std::string ini = EngineDirectory() + "Morvelin.ini";
  WriteText(ini, "[Tablebase]\nPath=" + dir.path + "\n");
  ASSERT_EQ(KestraneInit(TestHashKb, &RecordingCallbacks, EngineDirectory().c_str(), 0), TestHashKb);
  EXPECT_EQ(TBMaxPiece(), 3);
  EXPECT_EQ(TablebasePieceLimit, 3);
  ASSERT_EQ(remove(ini.c_str()), 0);
  KestraneQuit();
  EXPECT_EQ(TBMaxPiece(), 0);
  EXPECT_EQ(TablebasePieceLimit, 0);
  ASSERT_EQ(KestraneInit(TestHashKb, &RecordingCallbacks, EngineDirectory().c_str(), 0), TestHashKb);
  EXPECT_EQ(TablebasePieceLimit, 0);
}

}  // namespace
