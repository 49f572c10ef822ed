#include "tablebase/generate_write.h"

#include <cstdio>

int GenWriteTableFiles(const GenTable* table, const char*, char* error, size_t errorSize) {
  snprintf(error, errorSize, "%s: writing files is not available yet", table->mat.name);
  return 0;
}
