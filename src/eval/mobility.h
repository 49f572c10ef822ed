// The bishop-mobility cache of the search context (pawn structure and bishop square).
#pragma once

void ClearMobilityCache();
