// Start-up and shutdown of the engine behind the exported functions.
#pragma once

int InitTables(int hashKb);  // 1 on success; on failure nothing stays allocated
int InitEngine(int hashKb);  // InitTables, option defaults and the start position
void ReleaseEngine();        // frees what InitTables allocated
