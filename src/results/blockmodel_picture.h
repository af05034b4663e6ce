// The picture of a blockmodel: the network matrix permuted by the clusters of
// the current partitions, as plain SVG 1.1, with the units' whole labels and
// a legend of the block types' tints.
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
// the title alone is PictureTitleWidth wide. The title is the run's, or the
// network file's name while the run has the default title.
void AddPictureHeading(std::string& svg, int width, int height);
int PictureHeadingHeight();
int PictureTitleWidth();
// The title pictures show: the run's, or the network file's name while the
// run has the default title.
std::string PictureTitle();
// The tint of a block of the chosen type (-1 for none), and the type's short
// name without blanks ("" for none).
const char* TypeTintOf(int32_t type);
void TypeCodeText(int32_t type, char code[8]);
// The entry of a chosen type (-1 or any other that is no type: none) in a
// table by type with the blocks of no type first: 0 for none, code + 1.
int TypeIndex(int32_t type);
// The legend of the block types shown (shown[TypeIndex(type)]): a square of
// each type's tint and its name, in rows under the matrix. It takes
// PictureLegendHeight pixels below the matrix's bottom at top, in a picture
// width pixels wide and at least PictureLegendWidth wide; AddPictureLegend
// writes it inside the group of the texts.
int PictureLegendWidth(const bool shown[]);
int PictureLegendHeight(const bool shown[], int width);
void AddPictureLegend(std::string& svg, const bool shown[], int top, int width);
