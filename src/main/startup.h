#pragma once

// Start-up before the window exists: builds the partition tree, then the
// plane store's bitmaps and tables. Runs once per process.
void StartUpSystem();
