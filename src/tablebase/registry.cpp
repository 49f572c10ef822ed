#include "tablebase/registry.h"

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "tablebase/block_cache.h"
#include "tablebase/datacomp_read.h"
#include "tablebase/endgame_lookup.h"

TbRecordFiles TbRecords[EndgameRecordCount];
int32_t TbMaxPieces = 0;
int32_t TbDecompressionBytes = 0;

// Drive letters seen during one registration: present drives, and per letter whether it
// was found answering or not ready (a not-ready drive is not touched again).
static uint32_t DriveMask;
static int CompressedFileCount;  // compressed parts registered
static uint8_t DriveChecked[26], DriveNotReady[26];

// Room after a directory for a file name: "kqqkqq" ".a" ".nbw" "_emd" and the terminator.
constexpr size_t FileNameRoom = 32;
constexpr int LastEightThreeRecord = 110;  // names short enough for the 8.3 compressed form

int TableSideOf(int record, int side) {
  return (EndgameTable[record].flags & EndgameSymmetric) ? 0 : side;
}

uint64_t IndexCountOf(int record, int tableSide) {
  return tableSide == 0 ? EndgameTable[record].countWhite : EndgameTable[record].countBlack;
}

int EntrySizeOf(int record) { return (EndgameTable[record].flags & EndgameTwoByte) ? 2 : 1; }

static int IsSplit(int record) { return (EndgameTable[record].flags & EndgameSplit) != 0; }

static uint64_t SplitPartEntries(int record) { return (uint64_t(1) << 31) / uint64_t(EntrySizeOf(record)); }

int PartCountOf(int record, int tableSide) {
  if (!IsSplit(record)) return 1;
  uint64_t parts = ((IndexCountOf(record, tableSide) * uint64_t(EntrySizeOf(record))) >> 31) + 1;
  return parts < uint64_t(MaxTablebaseParts) ? int(parts) : MaxTablebaseParts;
}

uint64_t PartEntriesOf(int record, int tableSide, int part) {
  uint64_t count = IndexCountOf(record, tableSide);
  if (part < 0 || part >= PartCountOf(record, tableSide)) return 0;
  if (!IsSplit(record)) return count;
  uint64_t perPart = SplitPartEntries(record), first = uint64_t(part) * perPart;
  if (first >= count) return 0;
  return count - first < perPart ? count - first : perPart;
}

int PartOfIndex(int record, uint64_t index, uint64_t* entryInPart) {
  if (!IsSplit(record)) {
    *entryInPart = index;
    return 0;
  }
  uint64_t perPart = SplitPartEntries(record);
  *entryInPart = index % perPart;
  uint64_t part = index / perPart;
  return part < uint64_t(MaxTablebaseParts) ? int(part) : MaxTablebaseParts;
}

int FileSideIsRegistered(int record, int tableSide) {
  for (char* path : TbRecords[record].side[tableSide].paths)
    if (path) return 1;
  return 0;
}

static void CloseSideFiles(TbFileSide* fileSide) {
  for (int64_t& handle : fileSide->openHandles) {
    if (handle) CloseReadOnlyFile(handle - 1);
    handle = 0;
  }
}

void CloseAllTablebaseFiles() {
  for (TbRecordFiles& record : TbRecords)
    for (TbFileSide& fileSide : record.side) {
      LockTb(&fileSide.lock);
      CloseSideFiles(&fileSide);
      UnlockTb(&fileSide.lock);
    }
}

void CloseIdleTablebaseFiles(const TbFileSide* held) {
  for (TbRecordFiles& record : TbRecords)
    for (TbFileSide& fileSide : record.side) {
      if (&fileSide == held || !TryLockTb(&fileSide.lock)) continue;
      CloseSideFiles(&fileSide);
      UnlockTb(&fileSide.lock);
    }
}

int64_t OpenPartFile(TbFileSide* fileSide, int part) {
  if (part < 0 || part >= MaxTablebaseParts || !fileSide->paths[part]) return NoFileHandle;
  if (!fileSide->openHandles[part]) {
    int64_t file = OpenReadOnlyFile(fileSide->paths[part]);
    if (file == NoFileHandle) {  // perhaps out of handles: give back the idle ones and retry
      CloseIdleTablebaseFiles(fileSide);
      file = OpenReadOnlyFile(fileSide->paths[part]);
    }
    if (file == NoFileHandle) return NoFileHandle;
    fileSide->openHandles[part] = file + 1;
  }
  return fileSide->openHandles[part] - 1;
}

int HoldTableInMemory(int record, int tableSide) {
  if (record < 1 || record >= EndgameRecordCount || tableSide < 0 || tableSide > 1) return 0;
  TbFileSide* fileSide = &TbRecords[record].side[tableSide];
  uint64_t bytes = IndexCountOf(record, tableSide) * uint64_t(EntrySizeOf(record));
  LockTb(&fileSide->lock);
  int held = fileSide->memoryTable != nullptr;
  if (!held && PartCountOf(record, tableSide) == 1 && fileSide->paths[0] && bytes <= uint64_t(INT32_MAX)) {
    uint8_t* table = static_cast<uint8_t*>(malloc(size_t(bytes)));
    int64_t file = OpenReadOnlyFile(fileSide->paths[0]);
    if (table && file != NoFileHandle && ReadFileAt(file, 0, table, int(bytes)) == int(bytes)) {
      fileSide->memoryTable = table;
      table = nullptr;
      held = 1;
    }
    free(table);
    CloseReadOnlyFile(file);
  }
  UnlockTb(&fileSide->lock);
  return held;
}

void ReleaseRegistrations() {
  ResetTableCache();  // cached blocks belong to the block maps freed here
  for (TbRecordFiles& record : TbRecords)
    for (TbFileSide& fileSide : record.side) {
      LockTb(&fileSide.lock);
      CloseSideFiles(&fileSide);
      for (char*& path : fileSide.paths) {
        free(path);
        path = nullptr;
      }
      for (DatacompFile*& descriptor : fileSide.compressed) {
        FreeDatacompFile(descriptor);
        descriptor = nullptr;
      }
      free(fileSide.memoryTable);
      fileSide.memoryTable = nullptr;
      FreeBlockMap(fileSide.blockMap);
      fileSide.blockMap = nullptr;
      UnlockTb(&fileSide.lock);
    }
  FreeDatacompWork();
  CompressedFileCount = 0;
  ClearEndgameLookup();
  TbMaxPieces = 0;
  TbDecompressionBytes = 0;
}

// Whether files may be looked for in a directory: a directory on a drive letter needs the
// drive present and ready. Where there are no drive letters every directory may be tried.
static int DriveAnswers(const char* directory) {
  char letter = directory[0];
  int upper = letter & ~0x20;
  if (upper < 'A' || upper > 'Z' || directory[1] != ':') return 1;
  int drive = upper - 'A';
  if (DriveNotReady[drive]) return 0;
  if (DriveChecked[drive]) return 1;
  if (DriveMask != 0 && !(DriveMask >> drive & 1)) return 0;
  if (!DriveIsReady(letter)) {
    DriveNotReady[drive] = 1;
    return 0;
  }
  DriveChecked[drive] = 1;
  return 1;
}

// Writes "<directory><name>[.<part digit>].nbw|.nbb" after the directory (which ends with a
// separator) and returns a pointer to the extension's dot.
static char* BuildFileName(char* buffer, size_t directoryLength, int record, int tableSide, int part) {
  char* out = buffer + directoryLength;
  for (const char* letter = EndgameTable[record].name; *letter && letter < EndgameTable[record].name + 8; ++letter)
    *out++ = *letter;
  if (IsSplit(record)) {
    *out++ = '.';
    *out++ = char(part < 10 ? '0' + part : 'a' + part - 10);
  }
  char* extension = out;
  memcpy(out, tableSide == 0 ? ".nbw" : ".nbb", 5);
  return extension;
}

// The entries a compressed part holds, read from its header: every block but the last is
// full, and blocks must be 8 KB. -1 when the header is refused; otherwise *descriptor holds
// the file's descriptor.
static int64_t CompressedPartEntries(int64_t file, int record, DatacompFile** descriptor) {
  if (ReadDatacompHeader(file, descriptor) != 0) return -1;
  uint32_t blocks = DatacompBlockCount(*descriptor), last = DatacompLastBlockBytes(*descriptor);
  int size = EntrySizeOf(record);
  // Two-byte entries never straddle a block: a last block of odd size is cut short.
  if (DatacompBlockSize(*descriptor) != uint32_t(DatacompBlockBytes) || last % uint32_t(size) != 0) {
    FreeDatacompFile(*descriptor);
    *descriptor = nullptr;
    return -1;
  }
  return (int64_t(blocks) - 1) * (DatacompBlockBytes / size) + last / uint32_t(size);
}

// Opens the compressed form of a part under its accepted names, in order: "kqkr.nbw.emd",
// then for tables in one file "kqkr_nbw.emd" and "kqkr_nbw_emd", and for the short names
// "kqkrnbw.emd". `name` holds the plain file name; `extension` points at its ".nbw".
static int64_t OpenCompressedPart(char* name, char* extension, int record) {
  const char side[4] = {extension[1], extension[2], extension[3], 0};
  strcpy(extension + 4, ".emd");
  int64_t file = OpenReadOnlyFile(name);
  if (file == NoFileHandle && !IsSplit(record)) {
    extension[0] = '_';
    file = OpenReadOnlyFile(name);
    if (file == NoFileHandle) {
      extension[4] = '_';
      file = OpenReadOnlyFile(name);
    }
  }
  if (file == NoFileHandle && record <= LastEightThreeRecord) {
    strcpy(extension, side);
    strcat(extension, ".emd");
    file = OpenReadOnlyFile(name);
  }
  return file;
}

// Registers one part of one side of a record found in a directory; 1 when registered
// (also when it already was).
static int RegisterPart(char* name, size_t directoryLength, int record, int tableSide, int part) {
  TbFileSide* fileSide = &TbRecords[record].side[tableSide];
  if (fileSide->memoryTable || fileSide->paths[part]) return 1;
  uint64_t expected = PartEntriesOf(record, tableSide, part);
  if (expected == 0 || !DriveAnswers(name)) return 0;
  char* extension = BuildFileName(name, directoryLength, record, tableSide, part);
  int64_t file = OpenReadOnlyFile(name), entries = -1;
  DatacompFile* descriptor = nullptr;
  if (file != NoFileHandle) {
    int64_t bytes = ReadOnlyFileSize(file);
    if (bytes >= 1) {
      entries = bytes % EntrySizeOf(record) == 0 ? bytes / EntrySizeOf(record) : -1;
    } else {
      CloseReadOnlyFile(file);
      file = NoFileHandle;
    }
  }
  if (file == NoFileHandle) {
    file = OpenCompressedPart(name, extension, record);
    if (file == NoFileHandle) return 0;
    entries = CompressedPartEntries(file, record, &descriptor);
  }
  CloseReadOnlyFile(file);
  // Every part must hold exactly its own share: a cut or padded file would give wrong
  // values or reads past its end.
  if (entries < 0 || uint64_t(entries) != expected || !EnterEndgameLookup(record)) {
    FreeDatacompFile(descriptor);
    return 0;
  }
  if (!fileSide->blockMap) fileSide->blockMap = AllocateBlockMap();
  char* copy = static_cast<char*>(malloc(strlen(name) + 1));
  if (!copy || !fileSide->blockMap) {  // a side without a block map could never be read
    free(copy);
    FreeDatacompFile(descriptor);
    return 0;
  }
  strcpy(copy, name);
  fileSide->paths[part] = copy;
  fileSide->compressed[part] = descriptor;
  if (descriptor) {
    CompressedFileCount++;
    TbDecompressionBytes += int32_t(DatacompDescriptorBytes(descriptor));
  }
  return 1;
}

static int RegisterSide(char* name, size_t directoryLength, int record, int tableSide) {
  int parts = PartCountOf(record, tableSide), registered = 0;
  for (int part = 0; part < parts && RegisterPart(name, directoryLength, record, tableSide, part); ++part)
    registered = 1;
  return registered;
}

static int PiecesOfRecord(int record) {
  if (record >= FirstSixPieceRecord) return 6;
  if (record >= FirstFivePieceRecord) return 5;
  if (record >= FirstFourPieceRecord) return 4;
  return record >= 1 ? 3 : 0;
}

// Registers the files of one directory given by `length` characters at `directory`; returns
// the highest record registered, 0 for none.
static int RegisterDirectory(const char* directory, size_t length) {
  char* name = static_cast<char*>(malloc(length + 1 + FileNameRoom));
  if (!name) return 0;
  memcpy(name, directory, length);
  // A trailing separator is kept (a backslash counts as one everywhere); otherwise one is added.
  if (name[length - 1] == '\\' || name[length - 1] == '/')
    name[length - 1] = name[length - 1] == '\\' ? PathSeparator : name[length - 1];
  else
    name[length++] = PathSeparator;
  name[length] = 0;
  int highest = 0;
  for (int record = 1; record < EndgameRecordCount; ++record) {
    if (RegisterSide(name, length, record, 0)) highest = record;
    if (!(EndgameTable[record].flags & EndgameSymmetric) && RegisterSide(name, length, record, 1)) highest = record;
  }
  free(name);
  return highest;
}

int RegisterTablebasePaths(const char* list) {
  ReleaseRegistrations();
  DriveMask = LogicalDriveMask();
  memset(DriveChecked, 0, sizeof DriveChecked);
  memset(DriveNotReady, 0, sizeof DriveNotReady);
  if (!list) return 0;
  int highest = 0;
  for (const char* entry = list; *entry;) {
    size_t length = strcspn(entry, ",;");
    const char* begin = entry;
    const char* end = entry + length;
    while (begin < end && (*begin == ' ' || *begin == '\t')) ++begin;
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t')) --end;
    // An empty entry would name the root directory: it is skipped.
    if (end > begin) {
      int record = RegisterDirectory(begin, size_t(end - begin));
      if (record > highest) highest = record;
    }
    entry += length;
    if (*entry) ++entry;
  }
  // Compressed files are decoded through the shared work buffers. Without them (the
  // allocation of 33 KB failed) nothing is registered rather than tables that answer nothing.
  if (CompressedFileCount > 0) {
    if (AllocateDatacompWork()) {
      TbDecompressionBytes += DatacompWorkBuffers * DatacompWorkBytes;
    } else {
      ReleaseRegistrations();
      highest = 0;
    }
  }
  TbMaxPieces = PiecesOfRecord(highest);
  return TbMaxPieces;
}
