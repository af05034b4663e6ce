// The picture of a blockmodel: the network matrix permuted by the clusters of
// the current partitions, as plain SVG 1.1.
#pragma once

#include <string>

constexpr int PictureCell = 14;  // side of one cell of the matrix, in pixels
constexpr int PictureBand = 26;  // label band above the rows of each row cluster

// Appends to svg the picture of the current blockmodel: the accepted
// partitions in the listing order (ListingOrder[RowSide], ListingOrder[ColSide]), the chosen types and
// errors of the latest evaluation, and CurrentError. The matrix, bands
// included, lies in the frame <rect id="matrix">; row cluster k's band starts
// k - 1 bands and the rows of the clusters before it below the frame's top.
void BuildBlockmodelPicture(std::string& svg);
