#include "options.h"

#include "image/plane_store.h"

#include <charconv>
#include <getopt.h>

namespace {

enum LongOnly {
    Threshold = 256,
    Scan,
    Plane,
    Planes,
    KeepGrid,
    Part,
    Fit,
    Resume,
    List,
    Shard,
    Merge,
    Sweep,
    Overwrite,
    MemoryLimit
};

const option LongOptions[] = {{"output", required_argument, nullptr, 'o'},
                              {"recursive", no_argument, nullptr, 'r'},
                              {"jobs", required_argument, nullptr, 'j'},
                              {"quiet", no_argument, nullptr, 'q'},
                              {"help", no_argument, nullptr, 'h'},
                              {"threshold", required_argument, nullptr, Threshold},
                              {"scan", no_argument, nullptr, Scan},
                              {"plane", required_argument, nullptr, Plane},
                              {"planes", no_argument, nullptr, Planes},
                              {"keep-grid", no_argument, nullptr, KeepGrid},
                              {"part", required_argument, nullptr, Part},
                              {"fit", no_argument, nullptr, Fit},
                              {"resume", no_argument, nullptr, Resume},
                              {"list", required_argument, nullptr, List},
                              {"shard", required_argument, nullptr, Shard},
                              {"merge", no_argument, nullptr, Merge},
                              {"sweep", no_argument, nullptr, Sweep},
                              {"overwrite", no_argument, nullptr, Overwrite},
                              {"memory-limit", required_argument, nullptr, MemoryLimit},
                              {nullptr, 0, nullptr, 0}};

// A whole number from lo to hi, and nothing else.
int Number(const std::string& text, int lo, int hi, const char* what) {
    int v = 0;
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, v);
    if (text.empty() || ec != std::errc() || p != end || v < lo || v > hi)
        throw TUsageError(std::string(what) + " must be a whole number from " + std::to_string(lo) +
                          " to " + std::to_string(hi) + ", not \"" + text + "\"");
    return v;
}

int PlaneNumber(const std::string& text) {
    for (int p = 0; p < PlaneCount; ++p)
        if (text == PlaneIds[p]) return p;
    return Number(text, 0, PlaneCount - 1, "--plane (or a plane's name such as aV)");
}

TShare ShareOf(const std::string& text) {
    const size_t slash = text.find('/');
    if (slash == std::string::npos) throw TUsageError("--shard takes K/N, not \"" + text + "\"");
    TShare s;
    s.N = Number(text.substr(slash + 1), 1, 1 << 20, "N of --shard K/N");
    s.K = Number(text.substr(0, slash), 1, s.N, "K of --shard K/N");
    return s;
}

// --part X,Y: the corner of the 256 x 256 part, clamped later to each picture.
TPlacement PartOf(const std::string& text) {
    const size_t comma = text.find(',');
    if (comma == std::string::npos) throw TUsageError("--part takes X,Y, not \"" + text + "\"");
    TPlacement p;
    p.Kind = TPlacement::Part;
    p.X = Number(text.substr(0, comma), 0, 1000000, "X of --part X,Y");
    p.Y = Number(text.substr(comma + 1), 0, 1000000, "Y of --part X,Y");
    return p;
}

void Check(const TBatchOptions& o, int placements) {
    const TAnalysisChoice& c = o.Choice;
    if (o.Merge) {
        if (o.Inputs.empty()) throw TUsageError("--merge needs the output folders to join");
        if (!o.ListFile.empty() || o.Share || o.Resume || o.Overwrite || o.Recursive || c.Scan ||
            c.Threshold >= 0 || c.Plane >= 0 || c.Planes || c.KeepGrid || c.Sweep || placements)
            throw TUsageError("--merge takes only the output folders to join, -o and -q");
        return;
    }
    if (o.Inputs.empty() && o.ListFile.empty())
        throw TUsageError("no pictures given: name pictures or folders, or --list FILE");
    if (o.OutDir.empty()) throw TUsageError("no output folder given: add -o OUTDIR");
    if (placements > 1) throw TUsageError("--part and --fit exclude each other: choose one");
    if (c.Scan && c.Threshold >= 0)
        throw TUsageError("--scan chooses the threshold itself: leave out --threshold");
}

} // namespace

TBatchOptions ParseBatchArguments(const std::vector<std::string>& args) {
    std::vector<std::string> words{"tessavorin-batch"};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    const int argc = int(words.size());

    TBatchOptions o;
    int placements = 0; // --part and --fit given
    optind = 0;         // a full restart of getopt, whatever a previous parse left
    opterr = 0;         // the messages are ours
    for (int c; (c = getopt_long(argc, argv.data(), ":o:rj:qh", LongOptions, nullptr)) != -1;) {
        const std::string arg = optarg ? optarg : "";
        switch (c) {
        case 'o':
            o.OutDir = arg;
            break;
        case 'r':
            o.Recursive = true;
            break;
        case 'j':
            o.Jobs = Number(arg, 1, 1024, "-j");
            break;
        case 'q':
            o.Quiet = true;
            break;
        case 'h':
            o.Help = true;
            return o;
        case Threshold:
            o.Choice.Threshold = Number(arg, 0, 255, "--threshold");
            break;
        case Scan:
            o.Choice.Scan = true;
            break;
        case Plane:
            o.Choice.Plane = PlaneNumber(arg);
            break;
        case Planes:
            o.Choice.Planes = true;
            break;
        case KeepGrid:
            o.Choice.KeepGrid = true;
            break;
        case Part:
            o.Choice.Placement = PartOf(arg);
            ++placements;
            break;
        case Fit:
            o.Choice.Placement = {TPlacement::Fit};
            ++placements;
            break;
        case Resume:
            o.Resume = true;
            break;
        case List:
            o.ListFile = arg;
            break;
        case Shard:
            o.Share = ShareOf(arg);
            break;
        case Merge:
            o.Merge = true;
            break;
        case Sweep:
            o.Choice.Sweep = true;
            break;
        case Overwrite:
            o.Overwrite = true;
            break;
        case MemoryLimit:
            o.MemoryLimit = static_cast<long long>(Number(arg, 1, 1 << 24, "--memory-limit (MiB)"))
                            << 20;
            break;
        case ':':
            throw TUsageError(std::string(argv[size_t(optind - 1)]) + " needs a value");
        default:
            throw TUsageError(std::string("unknown option \"") + argv[size_t(optind - 1)] + "\"");
        }
    }
    for (int i = optind; i < argc; ++i) o.Inputs.push_back(argv[size_t(i)]);
    Check(o, placements);
    return o;
}

std::string ChoiceLine(const TAnalysisChoice& c) {
    std::string line = c.Scan            ? "scan"
                       : c.Threshold < 0 ? "automatic"
                                         : "threshold " + std::to_string(c.Threshold);
    line += c.Plane < 0 ? ", mix" : std::string(", plane ") + PlaneIds[c.Plane];
    if (c.Planes) line += ", planes";
    if (c.KeepGrid) line += ", keep-grid";
    if (c.Placement.Kind != TPlacement::TopLeft)
        line += ", " + PlacementText(c.Placement, TPlacementForm::Asked);
    if (c.Sweep) line += ", sweep";
    return line;
}

std::string BatchUsage() {
    return R"(Usage: tessavorin-batch [OPTIONS] PICTURE-OR-FOLDER... -o OUTDIR
       tessavorin-batch --merge OUTDIR... [-o OUTDIR]

Analyses every picture as choosing it in the Tessavorin window does, and
writes one folder per picture into OUTDIR (areas.csv, analysis.json,
area-map.png, area-view.png, with --planes also planes/) and OUTDIR/summary.csv.
Folders are searched for .jpg .jpeg .jpe .jfif .png .bmp .tif and .tiff files
(any letter case); each file is read as the picture its content holds.

  -o, --output OUTDIR   where the results go (made when missing)
  -r, --recursive       search the folders' subfolders too
  -j, --jobs N          analyse N pictures at a time (default: one per core
                        this process may use)
      --threshold N     analyse at threshold N (0 to 255) instead of the
                        automatic one
      --scan            run the threshold scan and keep its best threshold
      --plane P         analyse plane P (0 to 19, or a name such as aV) instead
                        of the brightness/noise mix
      --planes          also write the twenty planes as planes/NN-NAME.png
      --sweep           also write sweep.csv (the pass at every threshold) and
                        sweep.png (its plot)
      --keep-grid       each picture lands on what the previous one left, as in
                        the window (pictures then run one after another)
      --part X,Y        place the 256 x 256 part whose top-left corner is column
                        X, row Y of each picture on the grid (moved inside
                        pictures too small for it) instead of the top-left corner
      --fit             shrink each picture by the smallest whole factor that
                        fits it on the grid, each pixel the mean of its block
      --resume          skip pictures whose folder in OUTDIR is complete and
                        was made with the same options
      --memory-limit MIB  decode at most MIB mebibytes of large pictures at a
                        time, all pictures together (default: half the
                        machine's memory); a picture needing more gets an
                        error row
      --overwrite       replace results in OUTDIR made with other options, and
                        remove result folders of pictures no longer analysed
      --list FILE       take pictures and folders from FILE, one per line
                        (- for standard input)
      --shard K/N       analyse only the K-th of N equal shares of the list
      --merge           join the summary.csv of the given OUTDIRs into one,
                        written to standard output or to -o OUTDIR/summary.csv
  -q, --quiet           print nothing but errors that stop the run
  -h, --help            show this text

The program replaces or removes only result folders it made itself: a file
or folder of yours where a result would go is left alone (that picture gets
an error row), and OUTDIR may not be a folder the pictures are read from.

Exit status: 0 when every picture was analysed, 1 when some failed, 2 when
the command line cannot be run.
)";
}
