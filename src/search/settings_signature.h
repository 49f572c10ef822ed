// The settings signature: a 32-bit value that changes whenever an option that affects
// play changes, stored with every learning record.
#pragma once
#include <cstdint>

uint32_t SettingsSignature();
