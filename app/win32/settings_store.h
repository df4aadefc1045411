#pragma once

#include "base/settings.h"

#include <windows.h>

// The settings record in the registry: one REG_DWORD per value, named as the record's fields are, and the
// installation folder as the REG_SZ value "Path".
inline constexpr const char* settingsKeyPath = "Software\\Corvane\\Heliox";

// Reads the values the settings schema keeps in the registry, under `root`\`keyPath`, over `s`, which should
// hold the defaults: a value that is missing, stored with another type or size, or a number outside its
// range, keeps its default. A switch is set by any number but 0. DefGamma forces Gamma to 50. A Path longer
// than 254 characters does not fit and leaves Path empty. False when the key cannot be opened or created.
bool readRegistrySettings(HKEY root, const char* keyPath, Settings& s);

// The Path value alone, read as readRegistrySettings reads it, from a key that is only opened, never made:
// an installation for all users names its folder under HKEY_LOCAL_MACHINE, for every user who has no Path of
// their own. Empty when there is none.
std::string readRegistryPath(HKEY root, const char* keyPath);

// Writes every value the schema keeps in the registry (not Path, the installation's), ShowFlame = 0 among
// them, which older readers of the key expect to find. Booleans are written as 0 or 1. False when the key
// cannot be opened or a value cannot be written.
bool writeRegistrySettings(HKEY root, const char* keyPath, const Settings& s);
