// A PNG's texts found chunk by chunk. Every declared length is held against what is left of
// the file before a byte of the chunk is read, the image data only passes through the CRC, and
// a text is inflated no further than the limit: what a header declares never sizes a buffer.
#include "render/png_chunks.h"

#include "io/file_error.h"
#include "io/read_file.h"
#include "render/image_size.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <optional>
#include <zlib.h>

namespace vorticel {
namespace {

constexpr std::array<unsigned char, 8> kSignature = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF; // as PNG allows
constexpr std::size_t kMaxKeywordBytes = 79;
// Room in a kept text chunk for what comes before its text (an iTXt's language tag and
// translated keyword) and for what deflate adds to a text that does not compress.
constexpr std::size_t kTextChunkSlack = 4096;
constexpr std::size_t kBufferBytes = 256 * 1024;
// The writer's chunks of image data are of 8 KB, so the largest image holds some 50,000;
// a walk over millions of empty chunks would take seconds of a small file's worth of work.
constexpr std::size_t kMaxChunks = std::size_t{1} << 20;

std::uint32_t BigEndian(const unsigned char* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

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

bool IsTextChunk(const std::string& type) {
    return type == "tEXt" || type == "zTXt" || type == "iTXt";
}

// The source read through a buffer, every byte counted against the size it declared.
class ChunkInput {
public:
    // The buffer is no larger than the source: a small file costs a small buffer.
    ChunkInput(const PngByteSource& source, std::uint64_t size)
        : source_(source), size_(size),
          buffer_(static_cast<std::size_t>(std::min<std::uint64_t>(size, kBufferBytes)) + 1) {}

    std::uint64_t left() const { return consumed_ < size_ ? size_ - consumed_ : 0; }

    // Exactly `size` bytes into `data`, or false when the source ends first.
    bool Read(unsigned char* data, std::size_t size) {
        while (size > 0) {
            if (begin_ == end_ && !Fill()) {
                return false;
            }
            const std::size_t n = std::min(size, end_ - begin_);
            std::memcpy(data, buffer_.data() + begin_, n);
            begin_ += n;
            consumed_ += n;
            data += n;
            size -= n;
        }
        return true;
    }

    // Passes `size` bytes through `crc` without keeping them; false when the source ends first.
    bool Skip(std::uint64_t size, uLong& crc) {
        while (size > 0) {
            if (begin_ == end_ && !Fill()) {
                return false;
            }
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(size, end_ - begin_));
            crc = crc32(crc, buffer_.data() + begin_, static_cast<uInt>(n));
            begin_ += n;
            consumed_ += n;
            size -= n;
        }
        return true;
    }

private:
    bool Fill() {
        begin_ = 0;
        end_ = source_(reinterpret_cast<char*>(buffer_.data()), buffer_.size());
        return end_ > 0;
    }

    const PngByteSource& source_;
    std::uint64_t size_;
    std::uint64_t consumed_ = 0;
    std::vector<unsigned char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

class ChunkWalk {
public:
    ChunkWalk(ChunkInput& in, const std::string& fileName, const PngTextLimits& limits)
        : in_(in), fileName_(fileName), limits_(limits) {}

    std::vector<PngText> Run() {
        std::array<unsigned char, kSignature.size()> signature{};
        if (!in_.Read(signature.data(), signature.size()) || signature != kSignature) {
            Refuse(FileError::Reason::NotPng, "it is not a PNG image");
        }
        for (std::size_t chunks = 0;; ++chunks) {
            const bool first = chunks == 0;
            if (chunks == kMaxChunks) {
                Damaged("it has more than " + std::to_string(kMaxChunks) + " chunks");
            }
            std::array<unsigned char, 8> header{};
            if (!in_.Read(header.data(), header.size())) {
                Damaged("the file ends before the image does");
            }
            const std::uint32_t length = BigEndian(header.data());
            const std::string type(reinterpret_cast<const char*>(header.data() + 4), 4);
            if (!std::all_of(type.begin(), type.end(), [](char c) {
                    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
                })) {
                Damaged("a chunk has no valid type");
            }
            if (first != (type == "IHDR")) {
                Damaged(first ? "it does not begin with IHDR" : "it holds two IHDR chunks");
            }
            if (length > kMaxChunkLength || length + std::uint64_t{4} > in_.left()) {
                if (IsTextChunk(type)) {
                    Refuse(FileError::Reason::ChunkPastEnd,
                           "a text chunk is larger than the file (" + type + " of " +
                               std::to_string(length) + " bytes, " + std::to_string(in_.left()) +
                               " left)");
                }
                Damaged("the file ends inside a " + type + " chunk");
            }
            crc_ = crc32(0, header.data() + 4, 4);
            if (type == "IEND") {
                if (!seenImageData_) {
                    Damaged("it holds no image data");
                }
                FinishChunk(type, length);
                return std::move(texts_);
            }
            if (type == "IHDR") {
                ReadHeader(length);
            } else if (IsTextChunk(type)) {
                ReadText(type, length);
            } else if (type == "IDAT" && limits_.stopAtImageData) {
                return std::move(texts_); // the image data and what follows it are not read
            } else {
                seenImageData_ = seenImageData_ || type == "IDAT";
                // An unknown critical chunk changes the image in a way no reader may ignore.
                if (std::isupper(static_cast<unsigned char>(type[0])) && type != "IDAT" &&
                    type != "PLTE") {
                    Damaged("it holds an unknown critical chunk " + type);
                }
                FinishChunk(type, length);
            }
        }
    }

private:
    [[noreturn]] void Refuse(FileError::Reason reason, const std::string& why) const {
        throw FileError(FileError::Kind::Read, fileName_, reason, why);
    }
    [[noreturn]] void Damaged(const std::string& why) const {
        Refuse(FileError::Reason::NotPng, "it is a damaged PNG image (" + why + ")");
    }

    void ReadBytes(unsigned char* data, std::size_t size, const std::string& type) {
        if (!in_.Read(data, size)) {
            Damaged("the file ends inside a " + type + " chunk");
        }
        crc_ = crc32(crc_, data, static_cast<uInt>(size));
    }

    // Passes the rest of the chunk and checks its CRC. Only an ancillary chunk the walk does
    // not read may be damaged, as other readers drop it.
    void FinishChunk(const std::string& type, std::uint64_t rest) {
        std::array<unsigned char, 4> crc{};
        if (!in_.Skip(rest, crc_) || !in_.Read(crc.data(), crc.size())) {
            Damaged("the file ends inside a " + type + " chunk");
        }
        const bool ignorable =
            std::islower(static_cast<unsigned char>(type[0])) && !IsTextChunk(type);
        if (BigEndian(crc.data()) != (crc_ & 0xFFFFFFFFu) && !ignorable) {
            Damaged("the CRC of a " + type + " chunk does not match");
        }
    }

    void ReadHeader(std::uint32_t length) {
        if (length != 13) {
            Damaged("its IHDR chunk has the wrong length");
        }
        std::array<unsigned char, 13> h{};
        ReadBytes(h.data(), h.size(), "IHDR");
        FinishChunk("IHDR", 0);
        const std::uint32_t width = BigEndian(h.data());
        const std::uint32_t height = BigEndian(h.data() + 4);
        const unsigned depth = h[8];
        const unsigned colour = h[9];
        const bool depthFits =
            (colour == 0 &&
             (depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16)) ||
            (colour == 3 && (depth == 1 || depth == 2 || depth == 4 || depth == 8)) ||
            ((colour == 2 || colour == 4 || colour == 6) && (depth == 8 || depth == 16));
        if (width == 0 || height == 0 || width > kMaxChunkLength || height > kMaxChunkLength ||
            !depthFits || h[10] != 0 || h[11] != 0 || h[12] > 1) {
            Damaged("its IHDR chunk is invalid");
        }
        // Divided rather than multiplied: no product of two declared sizes can overflow.
        if (width > kMaxImageWidth || height > kMaxPosterHeight) {
            Refuse(FileError::Reason::ImageTooLarge,
                   "the image is too large (" + std::to_string(width) + " x " +
                       std::to_string(height) + " pixels, where an image is at most " +
                       std::to_string(kMaxImageWidth) + " pixels wide and " +
                       std::to_string(kMaxPosterHeight) + " high)");
        }
    }

    void ReadText(const std::string& type, std::uint32_t length) {
        if (++textChunks_ > limits_.maxTexts) {
            Refuse(FileError::Reason::TooManyTexts, "it has too many text chunks (more than " +
                                                        std::to_string(limits_.maxTexts) + ")");
        }
        // The keyword first: a text that is not kept is never held whole.
        std::string data(std::min<std::size_t>(length, kMaxKeywordBytes + 1), '\0');
        ReadBytes(reinterpret_cast<unsigned char*>(data.data()), data.size(), type);
        const std::size_t end = data.find('\0');
        if (end == 0 || end == std::string::npos) {
            Damaged("a " + type + " chunk has no valid keyword");
        }
        std::string keyword = Latin1ToUtf8(data.data(), end);
        if (!limits_.keyword.empty() && keyword != limits_.keyword) {
            FinishChunk(type, length - data.size());
            return;
        }
        const std::size_t stored =
            type == "tEXt" ? limits_.maxTextBytes : compressBound(limits_.maxTextBytes);
        if (length > stored + kTextChunkSlack) {
            TooLong(keyword);
        }
        const std::size_t head = data.size();
        data.resize(length);
        ReadBytes(reinterpret_cast<unsigned char*>(data.data()) + head, length - head, type);
        FinishChunk(type, 0);
        texts_.emplace_back(std::move(keyword), DecodeText(type, data.substr(end + 1)));
        if (texts_.back().second.size() > limits_.maxTextBytes) {
            TooLong(texts_.back().first);
        }
    }

    [[noreturn]] void TooLong(const std::string& keyword) const {
        Refuse(FileError::Reason::TextTooLarge, "its text \"" + keyword + "\" is longer than " +
                                                    std::to_string(limits_.maxTextBytes) +
                                                    " bytes");
    }

    // The text of a text chunk after its keyword, as UTF-8.
    std::string DecodeText(const std::string& type, const std::string& body) const {
        if (type == "tEXt") {
            return Latin1ToUtf8(body.data(), body.size());
        }
        if (type == "zTXt") {
            if (body.empty() || body[0] != 0) {
                Damaged("a zTXt chunk has an unknown compression");
            }
            const std::string text = Inflate(body.substr(1), type);
            return Latin1ToUtf8(text.data(), text.size());
        }
        // iTXt: compression flag and method, language tag, translated keyword, UTF-8 text.
        const std::size_t language = 2;
        const std::size_t translated =
            body.size() > language ? body.find('\0', language) : std::string::npos;
        const std::size_t text =
            translated == std::string::npos ? translated : body.find('\0', translated + 1);
        if (text == std::string::npos || body[0] > 1 || body[1] != 0) {
            Damaged("an iTXt chunk is invalid");
        }
        return body[0] == 1 ? Inflate(body.substr(text + 1), type) : body.substr(text + 1);
    }

    // A zlib stream inflated to at most one byte past the limit, so that a bomb stops early.
    std::string Inflate(const std::string& compressed, const std::string& type) const {
        z_stream z{};
        if (inflateInit(&z) != Z_OK) {
            Damaged("zlib could not be started");
        }
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
        z.avail_in = static_cast<uInt>(compressed.size());
        std::string out;
        int status = Z_OK;
        while (status == Z_OK && out.size() <= limits_.maxTextBytes) {
            char piece[16384];
            z.next_out = reinterpret_cast<Bytef*>(piece);
            z.avail_out = static_cast<uInt>(
                std::min<std::size_t>(sizeof piece, limits_.maxTextBytes + 1 - out.size()));
            status = inflate(&z, Z_NO_FLUSH);
            out.append(piece,
                       static_cast<std::size_t>(z.next_out - reinterpret_cast<Bytef*>(piece)));
        }
        inflateEnd(&z);
        if (out.size() <= limits_.maxTextBytes && status != Z_STREAM_END) {
            Damaged("the compressed text of a " + type + " chunk is damaged");
        }
        return out; // one byte too long when the text is: the caller refuses it
    }

    ChunkInput& in_;
    const std::string& fileName_;
    const PngTextLimits& limits_;
    uLong crc_ = 0;
    bool seenImageData_ = false;
    std::size_t textChunks_ = 0;
    std::vector<PngText> texts_;
};

} // namespace

std::vector<PngText> ReadPngTexts(const PngByteSource& source, std::uint64_t sourceBytes,
                                  const std::string& fileName, const PngTextLimits& limits) {
    ChunkInput in(source, sourceBytes);
    return ChunkWalk(in, fileName, limits).Run();
}

std::vector<PngText> ReadPngTexts(const std::string& fileName, const PngTextLimits& limits) {
    RegularFileReader reader(fileName, kMaxPngFileBytes);
    PngTextLimits walk = limits;
    // A poster's file is too long to read through: its texts before the image data (where the
    // program writes them) are read, within the same bound, and the image data is not.
    walk.stopAtImageData = walk.stopAtImageData || reader.size() > kMaxPngFileBytes;
    return ReadPngTexts([&reader](char* data, std::size_t size) { return reader.Read(data, size); },
                        reader.size(), fileName, walk);
}

} // namespace vorticel
