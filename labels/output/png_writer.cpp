#include <array>
#include <cerrno>
#include <csetjmp>
#include <cstddef>
#include <cstdlib>

#include <png.h>

#include "writers.h"

namespace lorvaxen {
namespace {

// libpng reports a fault by jumping back to the setjmp below; the writer says nothing itself.
void onPngError(png_structp png, png_const_charp /*message*/)
{
    png_longjmp(png, 1);
}

void onPngWarning(png_structp /*png*/, png_const_charp /*message*/) {}

// The compressor's working memory, some hundred kilobytes for every file, kept by each thread for
// its next file. Given back and asked for again each time, it would go to the system through mmap
// and munmap, on which threads that write files at once wait for each other.
class BlockCache
{
  public:
    BlockCache() = default;
    BlockCache(const BlockCache&) = delete;
    BlockCache& operator=(const BlockCache&) = delete;
    ~BlockCache()
    {
        for (std::size_t i = 0; i < count_; ++i) {
            std::free(blocks_[i]); // NOLINT(cppcoreguidelines-no-malloc)
        }
    }

    // A block of at least `size` bytes: the smallest kept one that holds them, or a new one.
    void* take(std::size_t size)
    {
        std::size_t best = count_;
        for (std::size_t i = 0; i < count_; ++i) {
            if (capacity(blocks_[i]) >= size &&
                (best == count_ || capacity(blocks_[i]) < capacity(blocks_[best]))) {
                best = i;
            }
        }
        if (best < count_) {
            void* block = blocks_[best];
            blocks_[best] = blocks_[--count_];
            return static_cast<std::byte*>(block) + kHeader;
        }
        if (size > SIZE_MAX - kHeader) {
            return nullptr;
        }
        void* block = std::malloc(size + kHeader); // NOLINT(cppcoreguidelines-no-malloc)
        if (block == nullptr) {
            return nullptr;
        }
        *static_cast<std::size_t*>(block) = size;
        return static_cast<std::byte*>(block) + kHeader;
    }

    void give(void* data)
    {
        void* block = static_cast<std::byte*>(data) - kHeader;
        if (count_ < blocks_.size()) {
            blocks_[count_++] = block;
        } else {
            std::free(block); // NOLINT(cppcoreguidelines-no-malloc)
        }
    }

  private:
    // Each block starts with its capacity, in a header that keeps what follows aligned.
    static constexpr std::size_t kHeader = alignof(std::max_align_t);
    static std::size_t capacity(void* block) { return *static_cast<std::size_t*>(block); }

    std::array<void*, 8> blocks_{};
    std::size_t count_ = 0;
};

BlockCache& threadBlocks()
{
    thread_local BlockCache blocks;
    return blocks;
}

png_voidp takeBlock(png_structp /*png*/, png_alloc_size_t size)
{
    return threadBlocks().take(size);
}

void giveBlock(png_structp /*png*/, png_voidp data)
{
    if (data != nullptr) {
        threadBlocks().give(data);
    }
}

// Nothing with a destructor lives in this frame, so a jump out of libpng back to it skips no
// clean-up.
bool writeImage(png_structp png, png_infop info, const MonoImage& image, const Paint& paint,
                std::FILE* file)
{
    // Set up before the jump point: nothing here can fail.
    const Colour background = paint.background.value_or(Colour{255, 255, 255});
    png_color palette[2] = {{background.red, background.green, background.blue},
                            {paint.ink.red, paint.ink.green, paint.ink.blue}};
    png_byte opacity[1] = {0};
    if (setjmp(png_jmpbuf(png)) != 0) { // NOLINT(cert-err52-cpp): libpng's way of failing
        return false;
    }
    png_init_io(png, file);
    // libpng refuses images wider or taller than a million pixels unless told otherwise; a long
    // symbol at a high resolution is wider than that.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    const bool grey = paint.blackOnWhite();
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 1,
                 grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!grey) {
        // Index 0 the background, 1 the ink: the image's own bits.
        png_set_PLTE(png, info, palette, 2);
        if (!paint.background) {
            png_set_tRNS(png, info, opacity, 1, nullptr);
        }
    }
    const png_uint_32 perMetre = pixelsPerMetre(image.dpi);
    png_set_pHYs(png, info, perMetre, perMetre, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    if (grey) {
        // Grey 0 is black in PNG, while the image keeps 1 for black.
        png_set_invert_mono(png);
    }
    for (int32_t y = 0; y < image.height; ++y) {
        png_write_row(png, image.row(y));
    }
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool writePng(const MonoImage& image, std::FILE* file, const Paint& paint)
{
    png_structp png = png_create_write_struct_2(PNG_LIBPNG_VER_STRING, nullptr, onPngError,
                                                onPngWarning, nullptr, takeBlock, giveBlock);
    if (png == nullptr) {
        errno = ENOMEM;
        return false;
    }
    png_infop info = png_create_info_struct(png);
    errno = 0;
    const bool written = info != nullptr && writeImage(png, info, image, paint, file);
    png_destroy_write_struct(&png, &info);
    return written && std::fflush(file) == 0 && std::ferror(file) == 0;
}

} // namespace lorvaxen
