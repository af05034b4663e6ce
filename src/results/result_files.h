// Result files for other programs, beside the listing: the series of the run
// as JSON, the best blockmodel as a picture, and the best partitions in the
// network tools' partition format.
#pragma once

#include <string>

enum ResultFile : int {
    JsonResultFile,
    PictureResultFile,
    RowsResultFile,
    ColsResultFile,
    UnitsResultFile,
    SweepResultFile,  // the best error of each pair of a sweep over cluster counts
};

// The name of a result file: the listing's name with its extension replaced.
std::string ResultFileName(ResultFile kind);
// Claims the result names for this run before the listing is opened: a file
// of another role of the run, or names another run holds, stop the run
// before it writes anything ("In use by another run: NAME.json"). Beside a
// listing that is no regular file, no result file is written.
void ClaimResultFiles();
// Adds the series just reported, whose best result is current, to the JSON
// file and rewrites the picture and the partition files, and in a sweep the
// sweep picture. A file that cannot be written is reported once ("Cannot
// write " and the name) and sets ResultWriteFailed. Writes nothing while no
// listing name is known.
void WriteResultFiles();
