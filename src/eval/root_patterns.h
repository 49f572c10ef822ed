// The blend tables and the root pattern flags with the table changes they bring.
#pragma once
#include "eval/root_counts.h"

void BuildBlendTables(const RootCounts* rc);
void ApplyRootPatterns(const RootCounts* rc);
