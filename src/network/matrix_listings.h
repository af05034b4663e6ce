// Matrices in the listing: the network in listing order and the three block
// matrices of the latest evaluation.
#pragma once

// The network matrix with rows in RowOrder and columns in ColOrder.
void WriteNetworkMatrix();
// "MODEL MATRIX : " with the short name of each block's chosen type.
void WriteModelMatrix();
// "ERROR MATRIX : " with each block's raw error.
void WriteErrorMatrix();
// "VALUE MATRIX : " with each block's value.
void WriteValueMatrix();
