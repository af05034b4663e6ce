// The promise of the environment file to the other programs of the family:
// what this program saves, it reads back unchanged.
#pragma once

// Aborts when the saved text of the current settings, read back, would save
// differently.
void CheckEnvironmentRoundTrip();
