// The error codes of compressed tablebase files, one per failure point.
#pragma once

// Reading the header.
constexpr int DatacompBadArguments = 169735;
constexpr int DatacompShortRead = 171778;
constexpr int DatacompBannerMismatch = 172546;
constexpr int DatacompBadSizeField = 174854;  // block-size exponent above 16 or header below 84 bytes
constexpr int DatacompBadDistanceCount = 175622;
constexpr int DatacompBadConstant = 176390;
constexpr int DatacompOutOfMemory = 177157;
constexpr int DatacompBadChecksum = 177925;
constexpr int DatacompBadBlockCount = 178693;   // no blocks, or more than the file can hold
constexpr int DatacompHeaderPastEnd = 179461;   // header size beyond the file
constexpr int DatacompBadBlockSizes = 180229;   // sizes or offsets that cannot be
constexpr int DatacompBadCodeLengths = 180997;  // a length above 31 or a run past the alphabet
constexpr int DatacompIncompleteCode = 181765;  // code lengths that make no complete prefix code
constexpr int DatacompOffsetRange = 182533;     // a block offset the index cannot hold
constexpr int DatacompHeaderOverrun = 183301;   // the packed values run past the header

// Reading and decoding a block.
constexpr int DatacompBadBlockArguments = 184069;
constexpr int DatacompReadFailed = 184837;
constexpr int DatacompTruncatedBlock = 185605;  // the input ran out before the block was whole
constexpr int DatacompMatchBeforeStart = 186373;
constexpr int DatacompMatchPastEnd = 187141;
constexpr int DatacompBadTableEntry = 187909;
