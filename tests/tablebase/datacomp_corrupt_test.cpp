// Damaged compressed files: every header fault refused with its own code, every block fault
// answered with an error from the block reader (never a read outside a buffer), and damaged
// files left unregistered.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "kestrane.h"
#include "platform/platform.h"
#include "tablebase/datacomp_errors.h"
#include "tablebase/datacomp_files.h"
#include "tablebase/datacomp_read.h"
#include "tablebase/registry.h"
#include "tablebase/registry_fixture.h"

namespace {

// 3 blocks of periodic data: a valid file to damage.
Bytes Sample() {
  Bytes data(2 * 8192 + 500);
  for (size_t i = 0; i < data.size(); i++) data[i] = uint8_t((i % 64) < 40 ? 0 : i % 7);
  return data;
}

struct HeaderCase {
  const char* name;
  std::function<void(Bytes*)> damage;
  int status;
};

TEST(DatacompCorrupt, HeaderFaultsAreRefusedWithTheirCodes) {
  const HeaderCase cases[] = {
      {"intact", [](Bytes*) {}, 0},
      {"cut inside the fixed fields", [](Bytes* f) { f->resize(79); }, DatacompShortRead},
      {"empty", [](Bytes* f) { f->clear(); }, DatacompShortRead},
      {"banner", [](Bytes* f) { (*f)[3] ^= 0x20; }, DatacompBannerMismatch},
      {"banner's zero padding", [](Bytes* f) { (*f)[63] = 1; }, DatacompBannerMismatch},
      {"header size below 84", [](Bytes* f) { PutField(f, 64, 83); }, DatacompBadSizeField},
      {"header size of 2 GB", [](Bytes* f) { PutField(f, 64, 0x80000000u); }, DatacompBadSizeField},
      {"block-size exponent 17", [](Bytes* f) { (*f)[70] = 17; }, DatacompBadSizeField},
      {"byte 71 not 24", [](Bytes* f) { (*f)[71] = 23; }, DatacompBadDistanceCount},
      {"constant", [](Bytes* f) { (*f)[79] ^= 1; }, DatacompBadConstant},
      {"header size past the file", [](Bytes* f) { PutField(f, 64, uint32_t(f->size()) + 1); }, DatacompHeaderPastEnd},
      {"cut inside the header", [](Bytes* f) { f->resize(HeaderBytesOf(*f) - 1); }, DatacompHeaderPastEnd},
      {"checksum", [](Bytes* f) { (*f)[HeaderBytesOf(*f) - 1] ^= 1; }, DatacompBadChecksum},
      {"packed sizes changed", [](Bytes* f) { (*f)[80 + 3 * 8] ^= 0x40; }, DatacompBadChecksum},
      {"no blocks",
       [](Bytes* f) {
         PutField(f, 72, 0);
         FixChecksum(f);
       },
       DatacompBadBlockCount},
      {"more blocks than the file holds",
       [](Bytes* f) {
         PutField(f, 72, 0x7FFFFFFF);
         FixChecksum(f);
       },
       DatacompBadBlockCount},
      {"blocks cut off the end", [](Bytes* f) { f->resize(f->size() - 1); }, DatacompBadBlockSizes},
  };
  TempDirectory dir;
  Bytes intact = Compressed(Sample());
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes file = intact;
    c.damage(&file);
    WriteBytes(dir.File("t.emd"), file);
    EXPECT_EQ(HeaderStatus(dir.File("t.emd")), c.status);
  }
}

// Files put together field by field: code lengths that make no code, sizes that cannot be,
// and blocks that decode wrongly.
struct PartsCase {
  const char* name;
  std::function<void(FileParts*)> make;
  int headerStatus;
  int blockStatus;  // of reading every block, when the header is accepted
};

// A code of two symbols, one bit each: `zero` is written as bit 0, `one` as bit 1.
void TwoSymbols(FileParts* p, int zero, int one) {
  p->codeLengths.assign(1024, 0);
  p->codeLengths[size_t(zero)] = 1;
  p->codeLengths[size_t(one)] = 1;
}

TEST(DatacompCorrupt, BlockAndCodeFaultsAreErrors) {
  constexpr int A = 'A', MatchSlot0Length1 = 256, MatchSlot0LongestCode = 256 + 26;
  const PartsCase cases[] = {
      {"literals then a match",
       [](FileParts* p) {
         TwoSymbols(p, A, MatchSlot0Length1);
         p->compressedSizes = {1};
         p->lastBlockBytes = 8;
         p->body = {0x01};  // seven literals, one match of one byte
       },
       0, 0},
      {"no code at all",
       [](FileParts* p) {
         p->compressedSizes = {1};
         p->lastBlockBytes = 100;
         p->body = {0};  // an empty code gives symbol 0 for no bits: a block of zeros
       },
       0, 0},
      {"incomplete code lengths",
       [](FileParts* p) {
         p->codeLengths[0] = 1;
         p->codeLengths[1] = 2;
         p->compressedSizes = {1};
         p->body = {0};
       },
       DatacompIncompleteCode, 0},
      {"over-subscribed code lengths",
       [](FileParts* p) {
         p->codeLengths[0] = p->codeLengths[1] = p->codeLengths[2] = 1;
         p->compressedSizes = {1};
         p->body = {0};
       },
       DatacompIncompleteCode, 0},
      {"one symbol of length 2",
       [](FileParts* p) {
         p->codeLengths[5] = 2;
         p->compressedSizes = {1};
         p->body = {0};
       },
       DatacompIncompleteCode, 0},
      {"offsets past the file's end",
       [](FileParts* p) {
         p->compressedSizes = {100, 100};
         p->body = Bytes(199, 0);
       },
       DatacompBadBlockSizes, 0},
      {"match before the block's start",
       [](FileParts* p) {
         TwoSymbols(p, A, MatchSlot0Length1);
         p->compressedSizes = {1};
         p->body = {0x80};
       },
       0, DatacompMatchBeforeStart},
      {"match at distance 0",
       [](FileParts* p) {
         TwoSymbols(p, A, MatchSlot0Length1);
         p->distances[0] = 0;
         p->compressedSizes = {1};
         p->body = {0x40};
       },
       0, DatacompMatchBeforeStart},
      {"match past the block's end",
       [](FileParts* p) {
         TwoSymbols(p, A, MatchSlot0LongestCode);
         p->compressedSizes = {3};
         p->lastBlockBytes = 100;
         p->body = {0x40, 0, 0};  // a literal, then a match of at least 4110 bytes
       },
       0, DatacompMatchPastEnd},
      {"a block that runs out before its size",
       [](FileParts* p) {
         TwoSymbols(p, A, 'B');
         p->compressedSizes = {2};
         p->lastBlockBytes = 100;
         p->body = {0x55, 0x55};  // 16 literals of 100
       },
       0, DatacompTruncatedBlock},
      {"a full block that runs out",
       [](FileParts* p) {
         TwoSymbols(p, A, 'B');
         p->compressedSizes = {10, 10};
         p->body = Bytes(20, 0x33);
       },
       0, DatacompTruncatedBlock},
  };
  TempDirectory dir;
  for (const PartsCase& c : cases) {
    SCOPED_TRACE(c.name);
    FileParts parts;
    c.make(&parts);
    WriteBytes(dir.File("t.emd"), AssembleFile(parts));
    ASSERT_EQ(HeaderStatus(dir.File("t.emd")), c.headerStatus);
    if (c.headerStatus) continue;
    int status;
    ReadAllBlocks(dir.File("t.emd"), &status);
    EXPECT_EQ(status, c.blockStatus);
  }
}

TEST(DatacompCorrupt, DecodedBlocksHoldWhatTheCodeSays) {
  TempDirectory dir;
  FileParts parts;
  TwoSymbols(&parts, 'A', 256);  // literal 'A' and a one-byte match at distance 1
  parts.compressedSizes = {1};
  parts.lastBlockBytes = 8;
  parts.body = {0x01};
  WriteBytes(dir.File("t.emd"), AssembleFile(parts));
  int status;
  Bytes data = ReadAllBlocks(dir.File("t.emd"), &status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(std::string(data.begin(), data.end()), "AAAAAAAA");
}

// The block reader's own arguments: a block past the end, no work buffer, no file.
TEST(DatacompCorrupt, BlockReaderRefusesBadArguments) {
  TempDirectory dir;
  WriteBytes(dir.File("t.emd"), Compressed(Sample()));
  int64_t file = OpenReadOnlyFile(dir.File("t.emd").c_str());
  DatacompFile* d = nullptr;
  ASSERT_EQ(ReadDatacompHeader(file, &d), 0);
  DatacompWork* work = NewDatacompWork();
  uint8_t out[DatacompBlockBytes];
  EXPECT_EQ(ReadDatacompBlock(d, file, 2, work, out), 0);
  EXPECT_EQ(ReadDatacompBlock(d, file, 3, work, out), DatacompBadBlockArguments);
  EXPECT_EQ(ReadDatacompBlock(d, file, 0, nullptr, out), DatacompBadBlockArguments);
  EXPECT_EQ(ReadDatacompBlock(d, NoFileHandle, 0, work, out), DatacompBadBlockArguments);
  EXPECT_EQ(ReadDatacompBlock(nullptr, file, 0, work, out), DatacompBadBlockArguments);
  DatacompFile* none = d;
  EXPECT_EQ(ReadDatacompHeader(NoFileHandle, &none), DatacompBadArguments);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(ReadDatacompHeader(file, nullptr), DatacompBadArguments);
  DeleteDatacompWork(work);
  FreeDatacompFile(d);
  CloseReadOnlyFile(file);
}

// At registration: a damaged header or a file of the wrong size keeps a compressed file out;
// an intact one of the right size goes in.
class DatacompRegistry : public TablebaseFixture {};

TEST_F(DatacompRegistry, DamagedOrMisfitFilesAreNotRegistered) {
  const int krk = EndgameRecordByName("krk");
  const uint64_t entries = EndgameTable[krk].countWhite;
  Bytes right(entries, 0), wrong(entries + 1, 0);
  for (uint64_t i = 0; i < entries; i++) right[i] = uint8_t(i % 13);
  struct Case {
    const char* name;
    Bytes file;
    bool registered;
  };
  Bytes damaged = Compressed(right);
  damaged[HeaderBytesOf(damaged) - 2] ^= 4;
  const Case cases[] = {
      {"intact", Compressed(right), true},
      {"one entry too many", Compressed(wrong), false},
      {"bad checksum", damaged, false},
      {"not compressed", Bytes(100, 0), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(dir.File("krk.nbw.emd"), c.file);
    InitExtern(dir.path);
    EXPECT_EQ(FileSideIsRegistered(krk, 0), c.registered ? 1 : 0);
    // krk with White to move: 27030 entries in 4 blocks.
    EXPECT_EQ(TBGetDecompressTableSize(), c.registered ? 20634 + 2 * 4 + 4 * (4 / 16) + 4 * 8256 : 0);
    TBExit();
    --initCalls;
  }
}

}  // namespace
