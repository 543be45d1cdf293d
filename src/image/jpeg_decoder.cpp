// JPEG decoding for the intake, through libjpeg's classic API with its
// default settings (default DCT method, fancy upsampling on).
//
// Reads: the JPEG file at `path`, scanline by scanline, only as far as the
// placement needs (the top 256 rows by default, the rows down to the part's
// last, or all rows to shrink the picture); a progressive or multi-scan file
// is read whole first, as libjpeg must gather every scan before it can give
// out a row.
// Writes: a new bitmap of what lands on the grid, blue-green-red; the same
// pixels a full decode gives there.
// Leaves: placing that bitmap on the grid to the intake. EXIF orientation is
// not applied: pixels come as stored.
#include "decode_budget.h"
#include "decoders.h"
#include "picture_messages.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include <jpeglib.h>
// jpeglib.h needs <cstdio> first; jerror.h gives the message codes.
#include <jerror.h>

namespace {

enum class TJpegFailure {
    None,
    EndsEarly,
    DataEndsEarly,
    NotJpeg,
    TooLarge,
    OverBudget,
    TooWide,
    Unsupported,
    Damaged,
    NoMemory
};

// libjpeg reports through this record. The manager comes first, so that the
// pointer libjpeg holds to it also reaches the rest.
struct TJpegErrors {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    int Code;
    char Text[JMSG_LENGTH_MAX];
};

// libjpeg reads the file through this source, 64 KiB at a time. Its Huffman
// decoder takes a fast path only while several kilobytes of data are at hand
// (512 bytes for each block of an MCU); with the stdio source's 4 KiB buffer
// it fell back to its slow path for most of every buffer. What the decoder
// sees at the end of the file is what the stdio source gives it: an empty
// file is an error, a short one a warning and a made-up end marker.
struct TJpegSource {
    jpeg_source_mgr Manager; // first, so libjpeg's pointer to it also reaches the rest
    std::FILE* File;
    JOCTET* Buffer;
    size_t Size;
    bool StartOfFile;
};

void StartSource(j_decompress_ptr cinfo) {
    reinterpret_cast<TJpegSource*>(cinfo->src)->StartOfFile = true;
}

boolean FillSource(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<TJpegSource*>(cinfo->src);
    size_t got = std::fread(src->Buffer, 1, src->Size, src->File);
    if (got == 0) {
        if (src->StartOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->Buffer[0] = 0xFF;
        src->Buffer[1] = JPEG_EOI;
        got = 2;
    }
    src->Manager.next_input_byte = src->Buffer;
    src->Manager.bytes_in_buffer = got;
    src->StartOfFile = false;
    return TRUE;
}

void SkipSource(j_decompress_ptr cinfo, long count) {
    jpeg_source_mgr* src = cinfo->src;
    if (count <= 0) return;
    while (count > long(src->bytes_in_buffer)) {
        count -= long(src->bytes_in_buffer);
        FillSource(cinfo);
    }
    src->next_input_byte += size_t(count);
    src->bytes_in_buffer -= size_t(count);
}

void EndSource(j_decompress_ptr) {}

void UseSource(j_decompress_ptr cinfo, TJpegSource& source, std::FILE* file,
               std::vector<JOCTET>& buffer) {
    source.Manager.init_source = StartSource;
    source.Manager.fill_input_buffer = FillSource;
    source.Manager.skip_input_data = SkipSource;
    source.Manager.resync_to_restart = jpeg_resync_to_restart;
    source.Manager.term_source = EndSource;
    source.Manager.next_input_byte = nullptr;
    source.Manager.bytes_in_buffer = 0;
    source.File = file;
    source.Buffer = buffer.data();
    source.Size = buffer.size();
    source.StartOfFile = true;
    cinfo->src = &source.Manager;
}

// What a decode attempt tells its caller; plain data, so it can be filled on
// the far side of a longjmp.
struct TJpegReport {
    TJpegFailure Failure = TJpegFailure::None;
    char Text[JMSG_LENGTH_MAX] = {};
    unsigned long Width = 0;
    unsigned long Height = 0;
    long long Needed = 0; // bytes of memory a progressive picture's decode holds
};

// libjpeg would print the message and end the process; we return to the
// setjmp in DecodeCorner instead, where the decompressor is destroyed.
[[noreturn]] void LeaveDecoder(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<TJpegErrors*>(cinfo->err);
    errors->Code = errors->Manager.msg_code;
    (*errors->Manager.format_message)(cinfo, errors->Text);
    std::longjmp(errors->Jump, 1);
}

// Warnings after which libjpeg goes on with made-up data (grey or smeared
// blocks): the picture would look decoded but is not the file's.
bool LosesPictureData(int code) {
    return code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE ||
           code == JWRN_ARITH_BAD_CODE || code == JWRN_MUST_RESYNC;
}

// Other warnings (extra bytes between markers, an unknown JFIF revision, ...)
// leave the picture intact and are dropped, like trace messages.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && LosesPictureData(cinfo->err->msg_code)) LeaveDecoder(cinfo);
    if (level < 0) cinfo->err->num_warnings++;
}

TJpegFailure FailureOf(int code) {
    switch (code) {
    case JWRN_JPEG_EOF:
    case JERR_INPUT_EOF:
    case JERR_INPUT_EMPTY:
        return TJpegFailure::EndsEarly;
    case JWRN_HIT_MARKER: // a marker, often the end of the file, where picture data should be
        return TJpegFailure::DataEndsEarly;
    case JERR_NO_SOI:
        return TJpegFailure::NotJpeg;
    case JERR_NO_BACKING_STORE: // a whole-picture buffer above max_memory_to_use
        return TJpegFailure::TooLarge;
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
        return TJpegFailure::TooWide;
    case JERR_OUT_OF_MEMORY:
        return TJpegFailure::NoMemory;
    case JERR_BAD_PRECISION:
    case JERR_SOF_UNSUPPORTED:
    case JERR_ARITH_NOTIMPL:
    case JERR_NOT_COMPILED:
    case JERR_NOTIMPL:
    case JERR_CONVERSION_NOTIMPL:
    case JERR_CCIR601_NOTIMPL:
    case JERR_FRACT_SAMPLE_NOTIMPL:
    case JERR_COMPONENT_COUNT:
        return TJpegFailure::Unsupported;
    default:
        return TJpegFailure::Damaged;
    }
}

// Memory of the whole-picture coefficient buffer that a progressive or
// multi-scan file needs: 64 coefficients of 2 bytes per 8 x 8 block of every
// component, rounded up to whole MCUs as libjpeg allocates them.
long long CoefficientBytes(const jpeg_decompress_struct& cinfo) {
    long long blocks = 0;
    for (int ci = 0; ci < cinfo.num_components; ++ci) {
        const jpeg_component_info& c = cinfo.comp_info[ci];
        const long long across = (c.width_in_blocks + c.h_samp_factor - 1) / c.h_samp_factor;
        const long long down = (c.height_in_blocks + c.v_samp_factor - 1) / c.v_samp_factor;
        blocks += across * c.h_samp_factor * down * c.v_samp_factor;
    }
    return blocks * DCTSIZE2 * static_cast<long long>(sizeof(JCOEF));
}

// Making the placer (and its bitmap) is the one step that may throw; it stays
// out of the function that holds the setjmp, so no exception crosses
// libjpeg's frames.
std::unique_ptr<TRowPlacer> MakePlacer(const TPlacement& p, int width, int height,
                                       TBitmap& out) noexcept {
    try {
        return std::make_unique<TRowPlacer>(p, width, height, out);
    } catch (...) {
        return nullptr;
    }
}

// One decoded row to blue-green-red. Greyscale becomes grey colour. CMYK
// comes from libjpeg as stored (it converts YCCK to CMYK itself); Adobe
// applications store it inverted, 255 meaning no ink, so with the Adobe
// marker R = C * K / 255, G = M * K / 255, B = Y * K / 255. Without it the
// values are amounts of ink and are inverted first (C becomes 255 - C).
void CopyRow(const JSAMPLE* src, J_COLOR_SPACE space, bool adobeInverted, uint8_t* dst,
             int columns) {
    for (int x = 0; x < columns; ++x, dst += 3) {
        switch (space) {
        case JCS_GRAYSCALE:
            dst[0] = dst[1] = dst[2] = src[x];
            break;
        case JCS_RGB:
            dst[0] = src[3 * x + 2];
            dst[1] = src[3 * x + 1];
            dst[2] = src[3 * x];
            break;
        default: { // JCS_CMYK
            const JSAMPLE* p = src + 4 * x;
            const int flip = adobeInverted ? 0 : 255;
            const int c = p[0] ^ flip, m = p[1] ^ flip, y = p[2] ^ flip, k = p[3] ^ flip;
            dst[0] = uint8_t(y * k / 255);
            dst[1] = uint8_t(m * k / 255);
            dst[2] = uint8_t(c * k / 255);
        }
        }
    }
}

// The decode itself, in C style: between setjmp and any longjmp only plain
// data lives in this frame, and every way out destroys the decompressor.
// The placer lives in the caller's frame (`placer`), which no longjmp leaves.
void DecodeCorner(std::FILE* file, std::vector<JOCTET>& input, TBitmap& out, TPlacement& placement,
                  std::unique_ptr<TRowPlacer>& placer, TDecodeReservation& memory,
                  TJpegReport& report) {
    TJpegSource source;
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo); // jpeg_destroy needs a null mem if creation fails
    TJpegErrors errors;
    std::memset(&errors, 0, sizeof errors);
    cinfo.err = jpeg_std_error(&errors.Manager);
    errors.Manager.error_exit = LeaveDecoder;
    errors.Manager.emit_message = OnMessage;
    if (setjmp(errors.Jump)) {
        report.Failure = FailureOf(errors.Code);
        std::memcpy(report.Text, errors.Text, sizeof report.Text);
        report.Width = cinfo.image_width;
        report.Height = cinfo.image_height;
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = MaxDecodeBytes;
    UseSource(&cinfo, source, file, input);
    jpeg_read_header(&cinfo, TRUE);
    report.Width = cinfo.image_width;
    report.Height = cinfo.image_height;

    if (jpeg_has_multiple_scans(&cinfo) && CoefficientBytes(cinfo) > MaxDecodeBytes) {
        report.Failure = TJpegFailure::TooLarge;
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    // A progressive picture keeps every coefficient until its last scan;
    // a baseline one is decoded a few rows at a time.
    if (jpeg_has_multiple_scans(&cinfo) && !memory.Hold(CoefficientBytes(cinfo))) {
        report.Failure = TJpegFailure::OverBudget;
        report.Needed = CoefficientBytes(cinfo);
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK)
        cinfo.out_color_space = JCS_CMYK;
    const J_COLOR_SPACE space = cinfo.out_color_space;
    if (space != JCS_GRAYSCALE && space != JCS_RGB && space != JCS_CMYK) {
        report.Failure = TJpegFailure::Unsupported;
        std::snprintf(report.Text, sizeof report.Text, "%d colour components",
                      cinfo.num_components);
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    jpeg_start_decompress(&cinfo);

    placement = ResolvePlacement(placement, int(cinfo.output_width), int(cinfo.output_height));
    placer = MakePlacer(placement, int(cinfo.output_width), int(cinfo.output_height), out);
    if (!placer) {
        report.Failure = TJpegFailure::NoMemory;
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    // A shrunk picture sums whole rows; the others copy their columns straight
    // into the bitmap.
    const bool shrink = placement.Kind == TPlacement::Fit;
    const int first = placer->FirstColumn(), columns = placer->Columns();
    // Those decode only the columns they copy, and one iMCU column more on
    // either side: libjpeg-turbo's crop starts at an iMCU boundary and treats
    // its own edges as the picture's, where the chroma upsampling of the
    // columns copied would see other neighbours than in whole rows.
    int cropLeft = 0;
    if (!shrink && columns > 0) {
        const int margin = cinfo.max_h_samp_factor * DCTSIZE;
        JDIMENSION left = JDIMENSION(std::max(0, first - margin));
        JDIMENSION width =
            JDIMENSION(std::min(int(cinfo.output_width), first + columns + margin)) - left;
        if (width < cinfo.output_width) {
            jpeg_crop_scanline(&cinfo, &left, &width);
            cropLeft = int(left);
        }
    }
    const int components = cinfo.output_components;
    // The row libjpeg writes starts one byte past an aligned address: into
    // a row aligned to 32 bytes its colour conversion writes with
    // non-temporal stores, which bypass the cache, and every read of the row
    // that follows then goes to main memory.
    JSAMPARRAY allocated =
        (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                   cinfo.output_width * JDIMENSION(components) + 1, 1);
    JSAMPROW rowStart = allocated[0] + 1;
    JSAMPARRAY row = &rowStart;
    JSAMPARRAY bgr = shrink ? (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                         JPOOL_IMAGE, cinfo.output_width * 3, 1)
                            : nullptr;
    const bool adobeInverted = cinfo.saw_Adobe_marker;
    while (int(cinfo.output_scanline) < placer->RowsNeeded()) {
        const int y = int(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1) { // only a suspending source does this
            report.Failure = TJpegFailure::EndsEarly;
            break;
        }
        if (shrink) {
            CopyRow(row[0], space, adobeInverted, bgr[0], columns);
            placer->Feed(y, bgr[0]);
        } else if (y >= placement.Y) {
            CopyRow(row[0] + (first - cropLeft) * components, space, adobeInverted,
                    out.Rows[size_t(y - placement.Y)], columns);
        }
    }
    // The rows below the placed ones are never read: destroying the
    // decompressor here abandons them, which is what keeps a huge picture
    // cheap.
    jpeg_destroy_decompress(&cinfo);
}

std::string CauseOf(const TJpegReport& report, const unsigned char* head, size_t headSize) {
    switch (report.Failure) {
    case TJpegFailure::EndsEarly:
        return "the file ends early; it may be incomplete";
    case TJpegFailure::DataEndsEarly:
        return "the picture data ends before the picture is complete; the file may be damaged";
    case TJpegFailure::NotJpeg:
        return WrongKindCause(head, headSize, "JPEG");
    case TJpegFailure::TooLarge:
        return TooLargeCause(report.Width, report.Height);
    case TJpegFailure::OverBudget:
        return OverBudgetCause(report.Needed);
    case TJpegFailure::TooWide:
        return "the picture is too large to decode (" + std::string(report.Text) + ")";
    case TJpegFailure::Unsupported:
        return "this kind of JPEG picture is not supported (" + std::string(report.Text) + ")";
    case TJpegFailure::NoMemory:
        return "there is not enough memory to decode it";
    default:
        return "the picture data is damaged (" + std::string(report.Text) + ")";
    }
}

struct TFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

TBitmap DecodeJpeg(const std::string& path, TPictureSize* size, TPlacement* placement) {
    CheckPictureFile(path);
    std::vector<JOCTET> input(size_t(1) << 16);
    const std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        FailPicture(path, std::string("the file cannot be opened (") + std::strerror(errno) + ")");
    // The source reads whole 64 KiB pieces; a stream buffer would only copy them.
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    // The first bytes name the kind of a file that is not a JPEG at all; read
    // past the stream, which then starts from the first byte still.
    unsigned char head[16] = {};
    const ssize_t got = ::pread(fileno(file.get()), head, sizeof head, 0);
    const size_t headSize = got > 0 ? size_t(got) : 0;

    TBitmap out;
    TJpegReport report;
    TPlacement placed = placement ? *placement : TPlacement{};
    std::unique_ptr<TRowPlacer> placer;
    TDecodeReservation memory; // released after the decoder's own memory
    DecodeCorner(file.get(), input, out, placed, placer, memory, report);
    if (report.Failure != TJpegFailure::None) FailPicture(path, CauseOf(report, head, headSize));
    if (size) *size = {int(report.Width), int(report.Height)};
    if (placement) *placement = placed;
    return out;
}
