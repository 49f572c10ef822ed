#include "search/settings_signature.h"

#include "board/option_values.h"

constexpr int MixWordCount = 1040;
static const char VersionNumber[] = "9";

struct MixWords {
  uint32_t word[MixWordCount];
};

// Fixed random words from a splitmix64 walk; learning files are comparable only between
// builds that share them.
static constexpr MixWords BuildMixWords() {
  MixWords words{};
  uint64_t state = 0x4B657374726E6531ull;
  for (int i = 0; i < MixWordCount; i++) {
    state += 0x9E3779B97F4A7C15ull;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    words.word[i] = uint32_t((z ^ (z >> 31)) >> 16);
  }
  return words;
}

static constexpr MixWords SignatureWords = BuildMixWords();

struct SignatureMix {
  uint32_t state;
  uint32_t signature;
};

static void MixValue(SignatureMix* mix, int32_t value) {
  mix->state = uint32_t(value) + 2 * mix->state;
  if (SignatureWords.word[mix->state % MixWordCount] == 0) mix->state++;
  mix->signature ^= SignatureWords.word[mix->state % MixWordCount];
}

uint32_t SettingsSignature() {
  static const int weightOrder[OptionWeightCount] = {
      WeightQueen, WeightRook, WeightBishop, WeightKnight, WeightPawn,
      WeightQueenEnd, WeightRookEnd, WeightBishopEnd, WeightKnightEnd, WeightPawnEnd,
      WeightKingSafety, WeightPassedPawns, WeightPassedPawnsEnd, WeightPawnStructure,
      WeightPawnStructureEnd, WeightCenterControl, WeightBishopPair, WeightBishopPairEnd,
      WeightFixed};
  SignatureMix mix = {1, 0};
  MixValue(&mix, TablebasesEnabled);
  MixValue(&mix, TablebaseDepthCutStart);
  MixValue(&mix, TablebaseTimeShare);
  MixValue(&mix, KeepHashMain);
  MixValue(&mix, KeepHashSecond);
  for (int i = 0; i < OptionWeightCount; i++) MixValue(&mix, OptionWeights[weightOrder[i]]);
  MixValue(&mix, DrawScore);
  MixValue(&mix, Selectivity);
  MixValue(&mix, ForwardPruning);
  MixValue(&mix, PreferOpenPositions);
  MixValue(&mix, StyleLateMoveReductions);
  MixValue(&mix, StyleHangingReduction);
  MixValue(&mix, StyleMultiCut);
  MixValue(&mix, CombinationQuiesceChecks);
  MixValue(&mix, CombinationSingular);
  for (const char* c = VersionNumber; *c; c++) MixValue(&mix, *c);
  MixValue(&mix, Test1);
  MixValue(&mix, Test2);
  MixValue(&mix, Test3);
  // Knowledge or Speed changes the evaluation tables, so it changes what a search finds.
  MixValue(&mix, KnowledgeOrSpeed);
  return mix.signature;
}
