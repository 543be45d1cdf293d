// The picture files of one folder, as the file list shows them.
#pragma once

#include "image/picture_names.h"

#include <QString>

#include <string>
#include <vector>

struct TPictureEntry {
    QString Shown;    // the name as shown (a name that is not valid text as well as it can be)
    std::string Name; // the name's own bytes, which open the file
};

// The readable files of `dir` with picture names (links followed), sorted by
// name ignoring case. False when the folder cannot be read.
bool ListPictureFiles(const QString& dir, std::vector<TPictureEntry>& entries);
