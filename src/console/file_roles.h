// One file, one role. The files a run reads and writes are told apart by what
// they are, not by how they are named, so that no spelling, link or hard link
// lets the run write over a file it reads or writes in another role.
#pragma once

#include <string>

#include "state.h"

// Claims the file name for role. When it is a file of another role of this
// run, the run stops before anything is written to it ("Same file as the
// network file: " and the name). Devices and other files that are not regular
// files hold no data to lose: any number of roles may name them.
void ClaimFile(FileRole role, const std::string& name);

// The folder a file name stands in: "." for a bare name.
std::string FolderOf(const std::string& name);

// Holds name against other runs until this run ends, without creating any
// file; false when another run holds it. One name at a time: a new call
// gives up the name held before.
bool HoldNameAgainstOtherRuns(const std::string& name);
