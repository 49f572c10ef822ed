#include "tablebase/tb_settings.h"

#include "platform/platform.h"
#include "tablebase/block_cache.h"

const char TablebaseSettingsFile[] = "Morvelin.ini";

uint64_t CacheBytesOfKilobytes(int64_t kilobytes) {
  if (kilobytes <= int64_t(MinTableCacheBytes / 1024)) return MinTableCacheBytes;
  if (kilobytes >= int64_t(MaxTableCacheBytes / 1024)) return MaxTableCacheBytes;
  return uint64_t(kilobytes) * 1024;
}

uint64_t CacheBytesOfText(const char* text) {
  if (!text || !text[0]) return MinTableCacheBytes;
  while (*text == ' ' || *text == '\t') ++text;
  int negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  int64_t kilobytes = 0;
  // Digits past the largest cache size change nothing: stop counting there.
  for (; *text >= '0' && *text <= '9'; ++text)
    if (kilobytes <= int64_t(MaxTableCacheBytes)) kilobytes = kilobytes * 10 + (*text - '0');
  return CacheBytesOfKilobytes(negative ? -kilobytes : kilobytes);
}

uint64_t ReadTablebaseSettings(char* path, int pathSize) {
  ReadProfileText(TablebaseSettingsFile, "Tablebase", "Path", path, pathSize);
  char cache[64];
  ReadProfileText(TablebaseSettingsFile, "Tablebase", "CacheSizeKB", cache, sizeof cache);
  return CacheBytesOfText(cache);
}
