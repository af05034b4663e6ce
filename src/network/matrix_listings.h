// The network matrix in the listing, rows and columns in listing order.
#pragma once

// The network matrix with rows in RowOrder and columns in ColOrder.
void WriteNetworkMatrix();
