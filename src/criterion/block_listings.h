// The three block matrices of the latest evaluation in the listing.
#pragma once

// "MODEL MATRIX : " with the short name of each block's chosen type.
void WriteModelMatrix();
// "ERROR MATRIX : " with each block's raw error.
void WriteErrorMatrix();
// "VALUE MATRIX : " with each block's value.
void WriteValueMatrix();
