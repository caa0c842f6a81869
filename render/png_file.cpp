// libpng behind a C++ interface: every libpng call runs under setjmp in a frame of its own.
//
// libpng reports an error by longjmp from its error callback. A longjmp must skip no C++
// destructor, so the calls run inside Guarded, whose callable creates no object with one; the
// callbacks catch what the stream or the file throws, keep it, and only then call png_error;
// the caller rethrows it once libpng has returned.
#include "render/png_file.h"

#include "io/file_error.h"
#include "io/read_file.h"
#include "io/replace_file.h"
#include "render/image_size.h"

#include <cstdio>
#include <exception>
#include <ios>
#include <ostream>
#include <png.h>

namespace vorticel {
namespace {

constexpr std::size_t kPngSignatureBytes = 8;
// Short texts stay readable with any tool; longer ones (a recipe) are worth compressing.
constexpr std::size_t kCompressAbove = 256;
// Per text chunk, once decompressed; a longer one is left out (libpng warns, we stay silent).
constexpr png_alloc_size_t kMaxChunkBytes = 256 * 1024;
constexpr png_uint_32 kMaxTextChunks = 256;

// What the callbacks share with the code that called libpng.
struct PngIo {
    std::ostream* out = nullptr;
    RegularFileReader* in = nullptr;
    std::exception_ptr failure; // thrown by the stream or the file inside a callback
    bool streamFailed = false;  // a stream without exceptions went bad
    bool endOfFile = false;
    char message[256] = {}; // libpng's own words for its error
};

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
    auto* io = static_cast<PngIo*>(png_get_error_ptr(png));
    std::snprintf(io->message, sizeof io->message, "%s", message);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

bool WriteOut(PngIo& io, png_const_bytep data, std::size_t length) noexcept {
    try {
        io.out->write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(length));
        io.streamFailed = !*io.out;
    } catch (...) {
        io.failure = std::current_exception();
    }
    return !io.failure && !io.streamFailed;
}

void OnWrite(png_structp png, png_bytep data, std::size_t length) {
    if (!WriteOut(*static_cast<PngIo*>(png_get_io_ptr(png)), data, length)) {
        png_error(png, "the file could not be written");
    }
}

void OnFlush(png_structp) {} // the replacement flushes and syncs once, when it commits

bool ReadIn(PngIo& io, png_bytep data, std::size_t length) noexcept {
    try {
        io.endOfFile = io.in->Read(reinterpret_cast<char*>(data), length) != length;
    } catch (...) {
        io.failure = std::current_exception();
    }
    return !io.failure && !io.endOfFile;
}

void OnRead(png_structp png, png_bytep data, std::size_t length) {
    if (!ReadIn(*static_cast<PngIo*>(png_get_io_ptr(png)), data, length)) {
        png_error(png, "the file ends before the image does");
    }
}

// Runs `calls` (libpng calls only, creating no object with a destructor) under setjmp: false
// when libpng reported an error, whose text is then in the PngIo.
template <class Calls> bool Guarded(png_structp png, const Calls& calls) {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    calls();
    return true;
}

// The libpng structures of one write or one read, destroyed on every way out.
class PngStructs {
public:
    PngStructs(PngIo& io, bool writing) : writing_(writing) {
        png_ = writing ? png_create_write_struct(PNG_LIBPNG_VER_STRING, &io, OnError, OnWarning)
                       : png_create_read_struct(PNG_LIBPNG_VER_STRING, &io, OnError, OnWarning);
        if (png_) {
            info_ = png_create_info_struct(png_);
        }
    }
    ~PngStructs() {
        if (writing_) {
            png_destroy_write_struct(&png_, &info_);
        } else {
            png_destroy_read_struct(&png_, &info_, nullptr);
        }
    }
    PngStructs(const PngStructs&) = delete;
    PngStructs& operator=(const PngStructs&) = delete;

    bool ok() const { return png_ && info_; }
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    bool writing_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

std::string Latin1ToUtf8(const char* text, std::size_t length) {
    std::string out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool IsAscii(const std::string& text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

bool IsPrintableAscii(const std::string& keyword) {
    for (const char c : keyword) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

void EncodePng(std::ostream& out, const std::string& fileName, std::int32_t width,
               std::int32_t height, const std::vector<std::uint8_t>& bitmap,
               const std::vector<PngText>& texts) {
    const auto fail = [&fileName](const std::string& why) {
        return FileError(FileError::Kind::Write, fileName, FileError::Reason::Encoder, why);
    };
    std::vector<png_text> chunks(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        // iTXt keywords are Latin-1: UTF-8 beyond ASCII would come back as other letters.
        if (!IsPrintableAscii(texts[i].first)) {
            throw fail("the text keyword \"" + texts[i].first + "\" is not printable ASCII");
        }
        png_text& chunk = chunks[i];
        const std::string& text = texts[i].second;
        chunk.key = const_cast<char*>(texts[i].first.c_str()); // libpng copies, never writes
        chunk.text = const_cast<char*>(text.c_str());
        if (text.size() > kCompressAbove) {
            chunk.compression = PNG_ITXT_COMPRESSION_zTXt;
            chunk.itxt_length = text.size();
        } else if (IsAscii(text)) {
            // The same bytes in Latin-1: a plain tEXt, which every tool shows.
            chunk.compression = PNG_TEXT_COMPRESSION_NONE;
            chunk.text_length = text.size();
        } else {
            chunk.compression = PNG_ITXT_COMPRESSION_NONE;
            chunk.itxt_length = text.size();
        }
    }

    PngIo io;
    io.out = &out;
    const PngStructs png(io, true);
    if (!png.ok()) {
        throw fail("libpng could not be started");
    }
    const png_structp p = png.png();
    const png_infop info = png.info();
    const auto rowBytes = static_cast<std::size_t>(width) * 3;
    const bool written = Guarded(p, [&] {
        png_set_write_fn(p, &io, OnWrite, OnFlush);
        png_set_IHDR(p, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        if (!chunks.empty()) {
            png_set_text(p, info, chunks.data(), static_cast<int>(chunks.size()));
        }
        png_write_info(p, info);
        png_set_bgr(p);
        for (std::int32_t y = 0; y < height; ++y) {
            png_write_row(p, bitmap.data() + static_cast<std::size_t>(y) * rowBytes);
        }
        png_write_end(p, info);
    });
    if (written) {
        return;
    }
    if (io.failure) {
        std::rethrow_exception(io.failure); // the replacement names the failed write
    }
    if (io.streamFailed) {
        throw std::ios_base::failure("the PNG stream failed");
    }
    throw fail(std::string("the PNG encoder failed: ") + io.message);
}

} // namespace

void WritePng(const std::string& fileName, std::int32_t width, std::int32_t height,
              const std::vector<std::uint8_t>& bitmap, const std::vector<PngText>& texts) {
    // A PNG has at least one pixel; checked before the target is touched.
    if (width <= 0 || height <= 0 ||
        bitmap.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
        throw FileError(FileError::Kind::Write, fileName, FileError::Reason::Encoder,
                        "the image is empty (" + std::to_string(width) + " x " +
                            std::to_string(height) + " pixels)");
    }
    WriteFileReplacing(fileName, [&](std::ostream& out) {
        EncodePng(out, fileName, width, height, bitmap, texts);
    });
}

std::vector<PngText> ReadPngTexts(const std::string& fileName) {
    RegularFileReader reader(fileName, kMaxPngFileBytes);
    png_byte signature[kPngSignatureBytes];
    if (reader.Read(reinterpret_cast<char*>(signature), sizeof signature) != sizeof signature ||
        png_sig_cmp(signature, 0, sizeof signature) != 0) {
        throw FileError(FileError::Kind::Read, fileName, FileError::Reason::NotPng,
                        "it is not a PNG image");
    }

    PngIo io;
    io.in = &reader;
    const PngStructs png(io, false);
    const auto fail = [&](FileError::Reason reason, const std::string& why) {
        if (io.failure) {
            std::rethrow_exception(io.failure); // the file's own error: unreadable, too large
        }
        throw FileError(FileError::Kind::Read, fileName, reason, why);
    };
    if (!png.ok()) {
        fail(FileError::Reason::NotPng, "libpng could not be started");
    }
    const png_structp p = png.png();
    const png_infop info = png.info();
    const auto damaged = [&] {
        fail(FileError::Reason::NotPng,
             std::string("it is a damaged PNG image (") + io.message + ")");
    };

    int passes = 1;
    if (!Guarded(p, [&] {
            png_set_read_fn(p, &io, OnRead);
            png_set_sig_bytes(p, static_cast<int>(kPngSignatureBytes));
            // Any size PNG allows gets through, so that too many pixels are named as such.
            png_set_user_limits(p, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
            png_set_chunk_malloc_max(p, kMaxChunkBytes);
            png_set_chunk_cache_max(p, kMaxTextChunks);
            png_read_info(p, info);
            passes = png_set_interlace_handling(p);
            png_read_update_info(p, info);
        })) {
        damaged();
    }
    // The rows are decoded to reach the texts after them: no more of them than we render.
    const std::uint64_t pixels =
        std::uint64_t{png_get_image_width(p, info)} * png_get_image_height(p, info);
    if (pixels > static_cast<std::uint64_t>(kMaxImagePixels)) {
        fail(FileError::Reason::TooLarge,
             "the image has more than " + std::to_string(kMaxImagePixels) + " pixels");
    }
    std::vector<png_byte> row(png_get_rowbytes(p, info));
    const png_uint_32 height = png_get_image_height(p, info);
    if (!Guarded(p, [&] {
            for (int pass = 0; pass < passes; ++pass) {
                for (png_uint_32 y = 0; y < height; ++y) {
                    png_read_row(p, row.data(), nullptr);
                }
            }
            png_read_end(p, info);
        })) {
        damaged();
    }

    png_textp text = nullptr;
    int count = 0;
    png_get_text(p, info, &text, &count);
    std::vector<PngText> texts;
    for (int i = 0; i < count; ++i) {
        const png_text& t = text[i];
        const bool utf8 = t.compression == PNG_ITXT_COMPRESSION_NONE ||
                          t.compression == PNG_ITXT_COMPRESSION_zTXt;
        texts.emplace_back(Latin1ToUtf8(t.key, std::char_traits<char>::length(t.key)),
                           utf8 ? std::string(t.text, t.itxt_length)
                                : Latin1ToUtf8(t.text, t.text_length));
    }
    return texts;
}

} // namespace vorticel
