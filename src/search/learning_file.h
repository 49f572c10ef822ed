// The learning file: a plain sequence of 96-byte records, appended to and trimmed.
#pragma once
#include <cstdint>
#include "search/learning_record.h"

constexpr int64_t LearningTrimThreshold = 0x40000;  // more records than this are trimmed
constexpr int64_t LearningTrimKeep = 235929;         // the last records a trim keeps
constexpr int LearningReadBlock = 100;               // records read per call

// Whole records in the file: 0 for a missing file, -1 when it exists but cannot be sized.
int64_t CountLearningRecords(const char* path);

// Appends one record with a single write call, so that engines sharing the file never
// interleave their records; a partial record at the end (a writer killed mid-write) is cut
// off first. 1 on success; a failed write leaves no partial record behind
// unless another writer appended meanwhile.
int AppendLearningRecord(const char* path, const LearningRecord* record);

// Calls visit for each whole record from index `first` on, in file order; a trailing
// partial record is ignored. Returns the number of records visited, -1 when the file
// cannot be opened.
typedef void (*LearningVisitor)(const LearningRecord* record, void* context);
int64_t ReadLearningRecords(const char* path, int64_t first, LearningVisitor visit, void* context);

// When the file holds more than `threshold` records, keeps its last `keep` records: they
// are copied to a new file beside it (locked while written), which replaces the old one
// only after the copy succeeded. Another engine's trim in progress makes it back off; a
// copy left by a killed trim is taken over. 1 when the file was rewritten, 0 otherwise
// (the file is then as it was).
int TrimLearningRecords(const char* path, int64_t threshold, int64_t keep);
