#include "import/ReadJpeg.h"

#include "platform/FileOps.h"
#include "platform/StringTable.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

namespace pavonia {

namespace {

constexpr std::size_t kInputBlock = 4096;
// A progressive picture may carry any number of scans; real pictures use a
// dozen or so, damaged ones can keep the decoder busy for minutes.
constexpr int kMaxScans = 1000;

// libjpeg's error manager with the fatal exit returning to the reader, which
// finds why in `failure`.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    std::optional<Failure>* failure;
    bool tooManyScans;
    const std::string* path;
};

// Reads the file in blocks; at its end gives libjpeg a warning and an
// end-of-image marker so that a file cut short still ends cleanly.
struct FileSource {
    jpeg_source_mgr base;
    std::FILE* file;
    bool atStart;
    JOCTET buffer[kInputBlock];
};

void noteFatal(j_common_ptr cinfo)
{
    auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (errors->tooManyScans) {
        *errors->failure =
            Failure(str::JpegTooManyScans, {*errors->path}).withCaption(str::JpegFatalErrorCaption);
        return;
    }
    char message[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, message);
    *errors->failure = Failure(str::JpegLibraryMessage, {message}).withCaption(str::JpegFatalErrorCaption);
}

void fatalExit(j_common_ptr cinfo)
{
    // The failure is noted (and the temporaries destroyed) before the jump,
    // which must not pass over any live object with a destructor.
    noteFatal(cinfo);
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings (a truncated file, corrupt data that libjpeg recovers from) are
// counted by libjpeg and not shown.
void quietOutput(j_common_ptr) {}

void limitScans(j_common_ptr cinfo)
{
    auto* decompressor = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (decompressor->input_scan_number > kMaxScans) {
        reinterpret_cast<ErrorManager*>(cinfo->err)->tooManyScans = true;
        (*cinfo->err->error_exit)(cinfo);
    }
}

void initSource(j_decompress_ptr cinfo)
{
    reinterpret_cast<FileSource*>(cinfo->src)->atStart = true;
}

boolean fillInputBuffer(j_decompress_ptr cinfo)
{
    auto* source = reinterpret_cast<FileSource*>(cinfo->src);
    std::size_t count = std::fread(source->buffer, 1, kInputBlock, source->file);
    if (count == 0) {
        if (source->atStart)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        count = 2;
    }
    source->base.next_input_byte = source->buffer;
    source->base.bytes_in_buffer = count;
    source->atStart = false;
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* source = cinfo->src;
    while (count > static_cast<long>(source->bytes_in_buffer)) {
        count -= static_cast<long>(source->bytes_in_buffer);
        (*source->fill_input_buffer)(cinfo);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<std::size_t>(count);
}

void termSource(j_decompress_ptr) {}

struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    FileSource source;
    jpeg_progress_mgr progress;
    std::optional<Failure> failure;
};

// The part of the reader that libjpeg may jump out of. Everything it changes
// lives in `decoder` and `picture`, outside this frame, so nothing is lost
// or left half-destroyed by the jump. False with `decoder.failure` set.
bool decode(Decoder& decoder, RgbPicture& picture, std::uint64_t maxPixels, const std::string& path)
{
    j_decompress_ptr cinfo = &decoder.cinfo;
    if (setjmp(decoder.errors.jump))
        return false;

    jpeg_read_header(cinfo, TRUE);
    jpeg_calc_output_dimensions(cinfo);
    if (cinfo->output_components != 1 && cinfo->output_components != 3) {
        decoder.failure = Failure(str::JpegUnsupportedComponents,
                                  {std::to_string(cinfo->output_components), path});
        return false;
    }
    const std::uint64_t pixels = std::uint64_t(cinfo->output_width) * cinfo->output_height;
    if (pixels > maxPixels) {
        decoder.failure = Failure(str::JpegTooLarge, {std::to_string(cinfo->output_width),
                                                      std::to_string(cinfo->output_height), path});
        return false;
    }

    jpeg_start_decompress(cinfo);
    const std::size_t rowBytes = std::size_t(cinfo->output_width) * 3;
    bool allocated = true;
    try {
        picture.rows.resize(rowBytes * cinfo->output_height);
    } catch (const std::bad_alloc&) {
        allocated = false;
    }
    if (!allocated) {
        decoder.failure = Failure(str::JpegOutOfMemory);
        return false;
    }
    picture.width = static_cast<int>(cinfo->output_width);
    picture.height = static_cast<int>(cinfo->output_height);

    // One scanline at a time through a one-row buffer of libjpeg's own pool.
    JSAMPARRAY line = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo),
                                                  JPOOL_IMAGE,
                                                  cinfo->output_width * cinfo->output_components, 1);
    while (cinfo->output_scanline < cinfo->output_height) {
        std::uint8_t* out = picture.rows.data() + rowBytes * cinfo->output_scanline;
        jpeg_read_scanlines(cinfo, line, 1);
        const JSAMPLE* in = line[0];
        if (cinfo->output_components == 3) {
            std::memcpy(out, in, rowBytes);
        } else {
            for (JDIMENSION x = 0; x < cinfo->output_width; ++x, out += 3)
                out[0] = out[1] = out[2] = in[x];
        }
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

} // namespace

Result<RgbPicture> ReadJpeg(const std::string& path, std::uint64_t maxPixels)
{
    // Only a regular file: a pipe or device could hold the reader forever.
    FileHandle handle = FileHandle::openRead(path);
    std::FILE* file = handle.valid() ? ::fdopen(handle.get(), "rb") : nullptr;
    if (file)
        handle.release();
    if (!file)
        return Failure(str::JpegCantOpen, {path});

    auto decoder = std::make_unique<Decoder>();
    Decoder& d = *decoder;
    d.cinfo.err = jpeg_std_error(&d.errors.base);
    d.errors.base.error_exit = fatalExit;
    d.errors.base.output_message = quietOutput;
    d.errors.failure = &d.failure;
    d.errors.tooManyScans = false;
    d.errors.path = &path;
    jpeg_create_decompress(&d.cinfo);

    d.source.file = file;
    d.source.atStart = true;
    d.source.base.init_source = initSource;
    d.source.base.fill_input_buffer = fillInputBuffer;
    d.source.base.skip_input_data = skipInputData;
    d.source.base.resync_to_restart = jpeg_resync_to_restart; // libjpeg's own rule
    d.source.base.term_source = termSource;
    d.source.base.next_input_byte = nullptr;
    d.source.base.bytes_in_buffer = 0;
    d.cinfo.src = &d.source.base;

    d.progress.progress_monitor = limitScans;
    d.cinfo.progress = &d.progress;

    RgbPicture picture;
    const bool decoded = decode(d, picture, maxPixels, path);
    jpeg_destroy_decompress(&d.cinfo);
    std::fclose(file);
    if (!decoded)
        return std::move(*d.failure);
    return picture;
}

} // namespace pavonia
