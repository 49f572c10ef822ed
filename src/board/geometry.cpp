#include "board/geometry.h"

void BuildGeometryTables() {}
