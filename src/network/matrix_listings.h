// The network matrix in the listing, rows and columns in listing order.
#pragma once

// The network matrix with rows in ListingOrder[RowSide] and columns in ListingOrder[ColSide].
void WriteNetworkMatrix();
