// The picture of a blockmodel: the network matrix permuted by the clusters of
// the current partitions, as plain SVG 1.1.
#pragma once

#include <cstdint>
#include <string>

constexpr int PictureCell = 14;  // side of one cell of the matrix, in pixels
constexpr int PictureBand = 26;  // label band above the rows of each row cluster
constexpr double PictureCharWidth = 0.61;  // em, of the monospaced fonts the pictures name
constexpr int PictureMargin = 10;          // around everything, in pixels

// Appends to svg the picture of the current blockmodel: the accepted
// partitions in the listing order (ListingOrder[RowSide], ListingOrder[ColSide]), the chosen types and
// errors of the latest evaluation, and CurrentError. The matrix, bands
// included, lies in the frame <rect id="matrix">; row cluster k's band starts
// k - 1 bands and the rows of the clusters before it below the frame's top.
// Above ListedSideUnits units on a side it is BuildBlockDensityPicture's.
void BuildBlockmodelPicture(std::string& svg);

// What every picture of a blockmodel shares. AddPictureHeading starts a
// picture of the given size: the SVG element, its title, a white ground, the
// group of the texts (left open for the caller) and the lines of the title
// and the total error, which take PictureHeadingHeight pixels from the top;
// the title alone is PictureTitleWidth wide.
void AddPictureHeading(std::string& svg, int width, int height);
int PictureHeadingHeight();
int PictureTitleWidth();
// The tint of a block of the chosen type (-1 for none), and the type's short
// name without blanks ("" for none).
const char* TypeTintOf(int32_t type);
void TypeCodeText(int32_t type, char code[8]);
