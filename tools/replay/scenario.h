// Scenario files of the replay tool: one user action per line.
#pragma once

#include <string>
#include <vector>

enum class TActionKind {
    Load,
    Select,
    Counters,
    Check,
    ScrollBar1,
    ScrollBar2,
    Scan,
    Move,
    Press,
    Place,
    Dump
};

struct TAction {
    TActionKind kind;
    int line = 0;     // line number in the file, from 1
    std::string path; // load, dump: taken from the scenario's folder
    std::string word; // check: byplane, paintsteps, scan; press: left, middle, right;
                      // place: topleft, part, fit
    bool on = false;  // check
    int a = 0, b = 0; // select N, scrollbar V, move / press X Y, place part X Y
};

struct TScenario {
    std::vector<TAction> actions; // the lines before the first malformed one
    std::string error;            // "" when every line is well formed
};

// Parses scenario text; relative paths are resolved against `baseDir`.
// `fileName` is only used in the error message.
TScenario ParseScenario(const std::string& text, const std::string& fileName,
                        const std::string& baseDir);
