#pragma once

#include "base/settings.h"

#include <windows.h>

// The settings record in the registry: one REG_DWORD per value, named as the record's fields are, and the
// installation folder as the REG_SZ value "Path".
inline constexpr const char* settingsKeyPath = "Software\\Corvane\\Heliox";

// Reads the values under `root`\`keyPath` over `s`, which should hold the defaults: a value that is missing,
// or stored with another type or size, keeps its default. A number outside its range (Width and Height 1 to
// 32767, Depth 8 to 32, Volume, Gamma and Speed 0 to 100) is taken as the nearer end. DefGamma forces Gamma
// to 50. A Path longer than 254 characters does not fit and leaves Path empty. False when the key cannot be
// opened or created.
bool readRegistrySettings(HKEY root, const char* keyPath, Settings& s);

// The Path value alone, read as readRegistrySettings reads it, from a key that is only opened, never made:
// an installation for all users names its folder under HKEY_LOCAL_MACHINE, for every user who has no Path of
// their own. Empty when there is none.
std::string readRegistryPath(HKEY root, const char* keyPath);

// Writes every value but Path (the installation's), plus ShowFlame = 0, which older readers of the key expect
// to find. Booleans are written as 0 or 1. False when the key cannot be opened or a value cannot be written.
bool writeRegistrySettings(HKEY root, const char* keyPath, const Settings& s);
