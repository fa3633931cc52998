// PNG through libpng's row interface, so that each sample is read as stored: no gamma, no colour
// management, 16 bits kept, the palette expanded, and rows read one at a time into the image.
#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstring>
#include <vector>

#include <png.h>

#include "image_readers.h"

namespace lorvaxen::verifier::detail {
namespace {

// Chunks that libpng decompresses (text, ICC profiles) get no more than this.
constexpr png_alloc_size_t kMaxChunkBytes = png_alloc_size_t{8} << 20;

// Chunks that say nothing of the samples as stored, skipped unread: many of them, or compressed
// text and profiles that inflate a thousandfold, would otherwise cost minutes. The resolution
// (pHYs) and transparency (tRNS) are kept.
constexpr png_byte kSkippedChunks[] = "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0sBIT\0"
                                      "sCAL\0sPLT\0sRGB\0sTER\0tEXt\0tIME\0zTXt";
constexpr int kSkippedChunkCount = sizeof(kSkippedChunks) / 5;
// The ancillary chunks still kept, whatever their number.
constexpr png_uint_32 kMostKeptChunks = 32;

// Deflate packs at most 1032 bytes into one, and a byte holds at most eight pixels.
constexpr uint64_t kMostPixelsPerByte = uint64_t{1032} * 8;

struct PngState
{
    png_structp png = nullptr;
    png_infop info = nullptr;
    ByteSource* source = nullptr;
    std::array<char, 200> message{};
};

void readData(png_structp png, png_bytep data, std::size_t length)
{
    auto* state = static_cast<PngState*>(png_get_io_ptr(png));
    if (!state->source->read(data, length)) {
        png_error(png, "the file ends before its last row");
    }
}

[[noreturn]] void onError(png_structp png, png_const_charp message)
{
    auto* state = static_cast<PngState*>(png_get_error_ptr(png));
    std::strncpy(state->message.data(), message, state->message.size() - 1);
    png_longjmp(png, 1);
}

void onWarning(png_structp /*png*/, png_const_charp /*message*/) {}

struct PngHeader
{
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int depth = 0; // 8 or 16 after the transformations
    int channels = 0;
    bool interlaced = false;
    std::size_t rowBytes = 0;
    double pixelsPerMm = 0;
};

// libpng reports errors by a long jump: the two functions that call it hold no objects whose
// destructors a jump would skip.
// NOLINTBEGIN(cert-err52-cpp)
bool readHeader(PngState& state, PngHeader& header)
{
    if (setjmp(png_jmpbuf(state.png)) != 0) {
        return false;
    }
    png_structp png = state.png;
    png_infop info = state.info;
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_set_chunk_cache_max(png, kMostKeptChunks);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks, kSkippedChunkCount);
    png_read_info(png, info);
    header.width = png_get_image_width(png, info);
    header.height = png_get_image_height(png, info);
    header.interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    const int colourType = png_get_color_type(png, info);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) {
        png_set_tRNS_to_alpha(png);
    }
    png_uint_32 xPerUnit = 0;
    png_uint_32 yPerUnit = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &xPerUnit, &yPerUnit, &unit) != 0 && unit == PNG_RESOLUTION_METER &&
        xPerUnit > 0) {
        header.pixelsPerMm = xPerUnit / 1000.0;
    }
    png_read_update_info(png, info);
    header.depth = png_get_bit_depth(png, info);
    header.channels = png_get_channels(png, info);
    header.rowBytes = png_get_rowbytes(png, info);
    return true;
}

// A sample on the scale 0 to 65535.
uint32_t sample(const uint8_t* row, std::size_t index, bool sixteen)
{
    return sixteen ? (uint32_t{row[2 * index]} << 8) | row[2 * index + 1] : row[index] * 257U;
}

void storeRow(const PngHeader& header, const uint8_t* row, png_uint_32 count, int pass, int32_t y,
              Light light, ReflectanceImage* image)
{
    const bool sixteen = header.depth == 16;
    const auto channels = static_cast<std::size_t>(header.channels);
    if (channels == 1 && !sixteen && !header.interlaced) {
        // Grey as stored is the reflectance under any light.
        std::copy(row, row + count, image->narrowRow(y));
        return;
    }
    const bool colour = channels >= 3;
    const bool alpha = channels == 2 || channels == 4;
    for (png_uint_32 i = 0; i < count; ++i) {
        const std::size_t at = i * channels;
        const uint32_t first = sample(row, at, sixteen);
        const uint32_t green = colour ? sample(row, at + 1, sixteen) : first;
        const uint32_t blue = colour ? sample(row, at + 2, sixteen) : first;
        const uint32_t opacity =
            alpha ? sample(row, at + channels - 1, sixteen) : ReflectanceImage::kFullLevel;
        const auto x = header.interlaced ? PNG_COL_FROM_PASS_COL(i, pass) : i;
        image->setLevel(static_cast<int32_t>(x), y,
                        measuredLevel(first, green, blue, opacity, light));
    }
}

bool readRows(PngState& state, const PngHeader& header, uint8_t* row, Light light,
              ReflectanceImage* image)
{
    if (setjmp(png_jmpbuf(state.png)) != 0) {
        return false;
    }
    // An interlaced image comes as seven reduced images, each placed where its pixels belong.
    const int passes = header.interlaced ? PNG_INTERLACE_ADAM7_PASSES : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const png_uint_32 columns =
            header.interlaced ? PNG_PASS_COLS(header.width, pass) : header.width;
        const png_uint_32 rows =
            header.interlaced ? PNG_PASS_ROWS(header.height, pass) : header.height;
        if (columns == 0 || rows == 0) {
            continue;
        }
        for (png_uint_32 r = 0; r < rows; ++r) {
            png_read_row(state.png, row, nullptr);
            const auto y = header.interlaced ? PNG_ROW_FROM_PASS_ROW(r, pass) : r;
            storeRow(header, row, columns, pass, static_cast<int32_t>(y), light, image);
        }
    }
    return true;
}
// NOLINTEND(cert-err52-cpp)

} // namespace

std::optional<ReflectanceImage> readPng(ByteSource& source, const ReadOptions& options,
                                        std::string* problem)
{
    PngState state;
    state.source = &source;
    state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, onError, onWarning);
    state.info = state.png == nullptr ? nullptr : png_create_info_struct(state.png);
    if (state.info == nullptr) {
        png_destroy_read_struct(&state.png, nullptr, nullptr);
        *problem = "out of memory for the PNG reader";
        return std::nullopt;
    }
    png_set_read_fn(state.png, &state, readData);
    std::optional<ReflectanceImage> image;
    PngHeader header;
    if (!readHeader(state, header)) {
        *problem = std::string("not a readable PNG: ") + state.message.data();
    } else if (std::string size = sizeProblem(header.width, header.height, options.maxPixels);
               !size.empty()) {
        *problem = size;
    } else if (!source.mayHold(uint64_t{header.width} * header.height / kMostPixelsPerByte)) {
        *problem = "the PNG's " + std::to_string(header.width) + " x " +
                   std::to_string(header.height) + " pixels cannot be in a file this short";
    } else {
        image = ReflectanceImage::unset(static_cast<int32_t>(header.width),
                                        static_cast<int32_t>(header.height), header.depth == 16);
        image->pixelsPerMm = header.pixelsPerMm;
        std::vector<uint8_t> row(header.rowBytes);
        if (!readRows(state, header, row.data(), options.light, &*image)) {
            *problem = std::string("damaged PNG: ") + state.message.data();
            image.reset();
        }
    }
    png_destroy_read_struct(&state.png, &state.info, nullptr);
    return image;
}

} // namespace lorvaxen::verifier::detail
