// The pictures of a run: found in folders or named one by one, in name
// order, each with the folder its results go into, and the share of them a
// shard analyses.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct TPictureJob {
    std::string Path;    // the picture as given or found
    std::string OutName; // its folder under the output folder (may hold '/' with -r)
    std::string Error;   // set when the argument itself could not be searched
};

// The path order of the whole run: by name ignoring letter case, then by bytes.
bool PathBefore(const std::string& a, const std::string& b);

// Every picture of `inputs`: a folder gives its files with picture names
// (image/picture_names.h; hidden ones left out, `recursive`: also those of its
// subfolders, but not of `outDir`, of result folders of this program, nor
// through links to folders), anything
// else is taken as a picture. Sorted by PathBefore, each path once; a folder
// that cannot be read becomes a job with an error.
std::vector<TPictureJob> FindPictures(const std::vector<std::string>& inputs, bool recursive,
                                      const std::string& outDir);

// The lines of a list file, but blank ones and comments (lines whose first
// non-blank is '#'); other lines as they are, spaces kept. Throws
// std::runtime_error.
std::vector<std::string> ReadListFile(const std::string& file);

// The first and one-past-last index of share k (1..n) of `count` items:
// shares differ in size by one at most and together cover every item once.
std::pair<size_t, size_t> ShareRange(size_t count, int k, int n);
