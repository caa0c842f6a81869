// libpng behind a C++ interface: every libpng call runs under setjmp in a frame of its own.
//
// libpng reports an error by longjmp from its error callback. A longjmp must skip no C++
// destructor, so the calls run inside Guarded, whose callable creates no object with one; the
// callbacks catch what the stream or the file throws, keep it, and only then call png_error;
// the caller rethrows it once libpng has returned.
#include "render/png_file.h"

#include "io/file_error.h"
#include "io/replace_file.h"

#include <cctype>
#include <cstdio>
#include <exception>
#include <ios>
#include <memory>
#include <ostream>
#include <png.h>

namespace vorticel {
namespace {

// Short texts stay readable with any tool; longer ones (a recipe) are worth compressing.
constexpr std::size_t kCompressAbove = 256;

// From this many pixels (a poster) the rows go unfiltered and are deflated at the fastest
// level. There libpng's adaptive filters and its default level take most of the run: on a
// 48-megapixel render they cost 2.0-2.6 s against 0.4-0.6 s, and their files came out larger,
// the sparse grain and the black around it compressing best as they are.
constexpr std::int64_t kFastFromPixels = std::int64_t{1} << 24;

// What the callbacks share with the code that called libpng.
struct PngIo {
    std::ostream* out = nullptr;
    std::exception_ptr failure; // thrown by the stream or the file inside a callback
    bool streamFailed = false;  // a stream without exceptions went bad
    char message[256] = {};     // libpng's own words for its error
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

// Runs `calls` (libpng calls only, creating no object with a destructor) under setjmp: false
// when libpng reported an error, whose text is then in the PngIo.
template <class Calls> bool Guarded(png_structp png, const Calls& calls) {
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    calls();
    return true;
}

// The libpng structures of one write, destroyed on every way out.
class PngWriteStructs {
public:
    explicit PngWriteStructs(PngIo& io)
        : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, &io, OnError, OnWarning)) {
        if (png_) {
            info_ = png_create_info_struct(png_);
        }
    }
    ~PngWriteStructs() { png_destroy_write_struct(&png_, &info_); }
    PngWriteStructs(const PngWriteStructs&) = delete;
    PngWriteStructs& operator=(const PngWriteStructs&) = delete;

    bool ok() const { return png_ && info_; }
    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

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

} // namespace

bool HasPngExtension(const std::string& fileName) {
    if (fileName.size() < 4) {
        return false;
    }
    std::string extension = fileName.substr(fileName.size() - 4);
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension == ".png";
}

struct PngRowWriter::State {
    explicit State(std::string name) : fileName(std::move(name)) {}
    std::string fileName;
    PngIo io;
    PngWriteStructs png{io};
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t rowsWritten = 0;
};

namespace {

FileError EncoderFailure(const std::string& fileName, const std::string& why) {
    return FileError(FileError::Kind::Write, fileName, FileError::Reason::Encoder, why);
}

// What a failed libpng call leaves to throw.
[[noreturn]] void ThrowFailure(const std::string& fileName, const PngIo& io) {
    if (io.failure) {
        std::rethrow_exception(io.failure); // the replacement names the failed write
    }
    if (io.streamFailed) {
        throw std::ios_base::failure("the PNG stream failed");
    }
    throw EncoderFailure(fileName, std::string("the PNG encoder failed: ") + io.message);
}

} // namespace

PngRowWriter::PngRowWriter(std::ostream& out, const std::string& fileName, std::int32_t width,
                           std::int32_t height, int depth, const std::vector<PngText>& texts)
    : state_(std::make_unique<State>(fileName)) {
    if (width <= 0 || height <= 0 || (depth != 8 && depth != 16)) {
        throw EncoderFailure(fileName, "the image is empty (" + std::to_string(width) + " x " +
                                           std::to_string(height) + " pixels)");
    }
    std::vector<png_text> chunks(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        // iTXt keywords are Latin-1: UTF-8 beyond ASCII would come back as other letters.
        if (!IsPrintableAscii(texts[i].first)) {
            throw EncoderFailure(fileName, "the text keyword \"" + texts[i].first +
                                               "\" is not printable ASCII");
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
    State& st = *state_;
    st.io.out = &out;
    st.width = width;
    st.height = height;
    if (!st.png.ok()) {
        throw EncoderFailure(fileName, "libpng could not be started");
    }
    const png_structp p = st.png.png();
    const png_infop info = st.png.info();
    const bool started = Guarded(p, [&] {
        png_set_write_fn(p, &st.io, OnWrite, OnFlush);
        png_set_IHDR(p, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                     depth, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        if (std::int64_t{width} * height >= kFastFromPixels) {
            png_set_filter(p, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
            png_set_compression_level(p, 1);
        }
        if (!chunks.empty()) {
            png_set_text(p, info, chunks.data(), static_cast<int>(chunks.size()));
        }
        png_write_info(p, info);
        if (depth == 8) {
            png_set_bgr(p);
        } else {
            // The samples come in the host's order; a PNG holds them big-endian.
            const std::uint16_t probe = 1;
            if (*reinterpret_cast<const std::uint8_t*>(&probe) == 1) {
                png_set_swap(p);
            }
        }
    });
    if (!started) {
        ThrowFailure(fileName, st.io);
    }
}

PngRowWriter::~PngRowWriter() = default;

void PngRowWriter::WriteRow(const void* row) {
    State& st = *state_;
    if (st.rowsWritten >= st.height) {
        throw EncoderFailure(st.fileName, "more rows than the image holds");
    }
    const png_structp p = st.png.png();
    const auto* bytes = static_cast<png_const_bytep>(row);
    if (!Guarded(p, [&] { png_write_row(p, bytes); })) {
        ThrowFailure(st.fileName, st.io);
    }
    ++st.rowsWritten;
}

void PngRowWriter::Finish() {
    State& st = *state_;
    if (st.rowsWritten != st.height) {
        throw EncoderFailure(st.fileName, "the image lacks rows");
    }
    const png_structp p = st.png.png();
    const png_infop info = st.png.info();
    if (!Guarded(p, [&] { png_write_end(p, info); })) {
        ThrowFailure(st.fileName, st.io);
    }
}

void EncodePng(std::ostream& out, const std::string& fileName, std::int32_t width,
               std::int32_t height, const std::vector<std::uint8_t>& bitmap,
               const std::vector<PngText>& texts) {
    PngRowWriter writer(out, fileName, width, height, 8, texts);
    const auto rowBytes = static_cast<std::size_t>(width) * 3;
    for (std::int32_t y = 0; y < height; ++y) {
        writer.WriteRow(bitmap.data() + static_cast<std::size_t>(y) * rowBytes);
    }
    writer.Finish();
}

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

} // namespace vorticel
