#include "search/root_search.h"

Move SearchRoot(Position*, Move* ponderMove) {
  *ponderMove = 0;
  return 0;
}
