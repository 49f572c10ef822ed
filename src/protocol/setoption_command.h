// "setoption name N value V": the option table applies it; ignored while a search runs.
#pragma once

// Reads its words from *cursor (splitting the line in place).
void SetOptionCommand(char** cursor);
