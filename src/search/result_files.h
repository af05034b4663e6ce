// Result files for other programs, beside the listing: the series of the run
// as JSON, the best blockmodel as a picture, and the best partitions in the
// network tools' partition format.
#pragma once

#include <string>

enum ResultFile : int { JsonResultFile, PictureResultFile, RowsResultFile, ColsResultFile, UnitsResultFile };

// The name of a result file: the listing's name with its extension replaced.
std::string ResultFileName(ResultFile kind);
// Adds the series just reported, whose best result is current, to the JSON
// file and rewrites the picture and the partition files. A file that cannot
// be written is reported once ("Cannot write " and the name) and sets
// ResultWriteFailed. Writes nothing while no listing name is known.
void WriteResultFiles();
