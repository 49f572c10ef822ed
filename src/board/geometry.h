// Board geometry: square tables, walks, beyond lists, masks and the Zobrist keys.
#pragma once

void BuildGeometryTables();
