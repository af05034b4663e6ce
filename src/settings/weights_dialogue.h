// The criterion's parameters: error type, minimal size, block values, the
// weight and priority of every ideal block type, and the two densities.
#pragma once

// Runs the weights dialogue on the console and writes its listing table.
void WeightsDialogue();
// Sets the defaults of every run of the dialogue: weights 1, densities 0.75
// and 0.5, priorities in code order.
void SetCriterionDefaults();
// Writes row k (0..12) of the weights table on the console.
void ShowWeightRow(int k);
