#pragma once

// Loads and saves the process-wide `settings` in the platform's store: the registry on Windows, the settings
// file on Linux. Each shell provides both. A missing store or value leaves the defaults.
void loadSettings();
bool saveSettings();
