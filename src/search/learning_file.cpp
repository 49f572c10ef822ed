#include "search/learning_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/platform.h"
#if defined(_WIN32)
#include <io.h>
static int CutFile(int fd, long size) { return _chsize(fd, size); }
#else
#include <unistd.h>
static int CutFile(int fd, long size) { return ftruncate(fd, size); }
#endif
#ifndef O_BINARY
#define O_BINARY 0
#endif

int64_t CountLearningRecords(const char* path) {
  FILE* file = fopen(path, "rb");
  if (!file) return 0;
  int64_t size = -1;
  if (fseek(file, 0, SEEK_END) == 0) size = ftell(file);
  fclose(file);
  return size < 0 ? -1 : size / LearningRecordSize;
}

// Takes back the bytes of a short write when they are still the end of the file;
// 1 when they were taken back.
static int UndoShortWrite(int fd, long written) {
  struct stat info;
  long end = long(lseek(fd, 0, SEEK_CUR));
  if (end < written || fstat(fd, &info) != 0 || long(info.st_size) != end) return 0;
  return CutFile(fd, end - written) == 0;
}

int AppendLearningRecord(const char* path, const LearningRecord* record) {
  uint8_t bytes[LearningRecordSize];
  EncodeLearningRecord(record, bytes);
  int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_BINARY, 0644);
  if (fd < 0) return 0;
  // A record cut short by a process killed while writing would shift every later record:
  // it is cut off before the next one goes on. Appenders hold the file's lock for this and
  // their write, so another engine's write in progress is never taken for a damaged record;
  // without the lock the record is appended as it is.
  int locked = 0;
  for (int tries = 0; tries < 200 && !(locked = TryLockOpenFile(fd)); tries++) SleepMilliseconds(1);
  struct stat info;
  if (locked && fstat(fd, &info) == 0 && info.st_size % LearningRecordSize != 0)
    CutFile(fd, long(info.st_size - info.st_size % LearningRecordSize));
  long written = long(write(fd, bytes, LearningRecordSize));
  if (written > 0 && written < LearningRecordSize) UndoShortWrite(fd, written);
  int closed = close(fd) == 0;
  return written == LearningRecordSize && closed;
}

int64_t ReadLearningRecords(const char* path, int64_t first, LearningVisitor visit, void* context) {
  FILE* file = fopen(path, "rb");
  if (!file) return -1;
  int64_t visited = 0;
  if (first < 0) first = 0;
  if (fseek(file, long(first * LearningRecordSize), SEEK_SET) == 0) {
    uint8_t block[LearningReadBlock * LearningRecordSize];
    for (;;) {
      size_t got = fread(block, 1, sizeof block, file);
      size_t records = got / LearningRecordSize;
      for (size_t i = 0; i < records; i++) {
        LearningRecord record;
        DecodeLearningRecord(block + i * LearningRecordSize, &record);
        visit(&record, context);
        visited++;
      }
      if (got < sizeof block) break;
    }
  }
  fclose(file);
  return visited;
}

// Copies `bytes` bytes from the current position of `from` to `to`; 1 when all were copied.
static int CopyBytes(FILE* from, FILE* to, int64_t bytes) {
  uint8_t chunk[LearningReadBlock * LearningRecordSize];
  while (bytes > 0) {
    size_t want = bytes < int64_t(sizeof chunk) ? size_t(bytes) : sizeof chunk;
    if (fread(chunk, 1, want, from) != want) return 0;
    if (fwrite(chunk, 1, want, to) != want) return 0;
    bytes -= int64_t(want);
  }
  return 1;
}

// Puts the finished copy in place of the file. POSIX renames while the copy is still open
// and locked, so no other trim can take it over in between; Windows cannot rename an open
// file.
static int ReplaceWithCopy(FILE* copy, const char* temporary, const char* path) {
  std::error_code error;
#if defined(_WIN32)
  if (fclose(copy) != 0) return 0;
  std::filesystem::rename(temporary, path, error);
  return !error;
#else
  int flushed = fflush(copy) == 0;
  if (flushed) std::filesystem::rename(temporary, path, error);
  int closed = fclose(copy) == 0;
  return flushed && !error && closed;
#endif
}

int TrimLearningRecords(const char* path, int64_t threshold, int64_t keep) {
  if (CountLearningRecords(path) <= threshold) return 0;
  char temporary[1024];
  int length = snprintf(temporary, sizeof temporary, "%s.trim", path);
  if (length < 0 || length >= int(sizeof temporary)) return 0;

  // The copy is locked while it is written: a second engine trimming at the same moment
  // backs off, and a copy that nobody holds (left by a trim that was killed) is taken over.
  int fd = open(temporary, O_RDWR | O_CREAT | O_BINARY, 0644);
  if (fd < 0) return 0;
  if (!TryLockOpenFile(fd)) {
    close(fd);
    return 0;
  }
  int64_t count = CountLearningRecords(path);  // again: a trim may have ended meanwhile
  FILE* source = count > threshold && keep >= 0 && keep < count ? fopen(path, "rb") : nullptr;
  FILE* target = source && CutFile(fd, 0) == 0 ? fdopen(fd, "wb") : nullptr;
  if (!target) {
    if (source) fclose(source);
    remove(temporary);
    close(fd);
    return 0;
  }
  int copied = fseek(source, long((count - keep) * LearningRecordSize), SEEK_SET) == 0 &&
               CopyBytes(source, target, keep * LearningRecordSize);
  fclose(source);
  if (!copied) {
    remove(temporary);
    fclose(target);
    return 0;
  }
  if (!ReplaceWithCopy(target, temporary, path)) {
    remove(temporary);
    return 0;
  }
  return 1;
}
