// The picture of a blockmodel of a network too large to draw cell by cell.
#pragma once

#include <string>

// Appends to svg the picture of the current blockmodel drawn block by block:
// each block to the scale of its clusters' sizes in the frame
// <rect id="matrix">, tinted by its chosen type, labelled with its type,
// error and density (ties / cells of the accepted partitions), with a bar as
// long as the density; the margins give each cluster's units, and the
// legend under it the tint of every type shown.
void BuildBlockDensityPicture(std::string& svg);
