// PNG files: pixels and texts as written, texts of other writers, and every refusal.
#include "io/file_error.h"
#include "io_test_support.h"
#include "png_test_support.h"
#include "render/png_file.h"

#include <algorithm>
#include <csetjmp>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <zlib.h>

namespace vorticel {
namespace {

using Strings = std::vector<std::string>;

// Top row first, blue green red; every byte differs from its neighbours so that a swapped
// channel or a flipped row shows.
std::vector<std::uint8_t> Pattern(std::int32_t width, std::int32_t height) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * height * 3);
    std::uint32_t state = 12345;
    for (std::uint8_t& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

// A PNG as another program might write it: interlaced, grey, with a Latin-1 tEXt chunk
// before the image data and a zTXt one after it. Plain C: the setjmp frame owns nothing.
bool WriteForeignPng(const char* path) {
    FILE* file = std::fopen(path, "wb");
    if (!file) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, 9, 7, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_ADAM7,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_text before{};
    before.compression = PNG_TEXT_COMPRESSION_NONE;
    before.key = const_cast<char*>("Author");
    before.text = const_cast<char*>("Ren\xE9"); // Latin-1
    png_set_text(png, info, &before, 1);
    png_write_info(png, info);
    png_byte rows[7][9] = {};
    png_bytep pointers[7];
    for (int y = 0; y < 7; ++y) {
        pointers[y] = rows[y];
    }
    png_write_image(png, pointers);
    png_text after{};
    after.compression = PNG_TEXT_COMPRESSION_zTXt;
    after.key = const_cast<char*>("Comment");
    after.text = const_cast<char*>("written after the image");
    png_set_text(png, info, &after, 1);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

class PngFile : public test::TempFolder {
protected:
    FileError ErrorOf(const std::function<void()>& call) const {
        try {
            call();
        } catch (const FileError& e) {
            return e;
        }
        ADD_FAILURE() << "no FileError";
        return FileError(FileError::Kind::Open, "", 0);
    }
};

TEST_F(PngFile, PixelsAndTextsComeBackAsWritten) {
    const std::vector<std::uint8_t> bitmap = Pattern(52, 31);
    const std::vector<PngText> texts = {
        {"Software", "Vorticel"},
        {"Comment", "Degré, Polynôme — UTF-8"},
        {"long", std::string(5000, 'z') + "é"}, // compressed
    };
    WritePng(Path("a.png"), 52, 31, bitmap, texts);
    const test::DecodedPng png = test::DecodePng(Path("a.png"));
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(png.width, 52);
    EXPECT_EQ(png.height, 31);
    EXPECT_TRUE(png.bgr == bitmap);
    EXPECT_EQ(ReadPngTexts(Path("a.png")), texts);
    // The long text is compressed: the file is far smaller than the text.
    EXPECT_LT(std::filesystem::file_size(dir / "a.png"), bitmap.size() + 1000);
    EXPECT_EQ(Names(), (Strings{"a.png"}));
}

// The filter byte of every row of a PNG of `rowBytes` bytes a row (the image data inflated);
// empty when the data cannot be read.
std::vector<std::uint8_t> RowFilters(const std::string& file, std::size_t rowBytes,
                                     std::size_t rows) {
    std::string data;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const auto byte = [&file](std::size_t i) { return static_cast<std::uint8_t>(file[i]); };
        const std::size_t length = (std::size_t{byte(at)} << 24) |
                                   (std::size_t{byte(at + 1)} << 16) |
                                   (std::size_t{byte(at + 2)} << 8) | byte(at + 3);
        if (file.compare(at + 4, 4, "IDAT") == 0) {
            data += file.substr(at + 8, length);
        }
        at += 12 + length;
    }
    std::vector<std::uint8_t> raw((rowBytes + 1) * rows);
    uLongf size = raw.size();
    if (uncompress(raw.data(), &size, reinterpret_cast<const Bytef*>(data.data()), data.size()) !=
            Z_OK ||
        size != raw.size()) {
        return {};
    }
    std::vector<std::uint8_t> filters;
    for (std::size_t y = 0; y < rows; ++y) {
        filters.push_back(raw[y * (rowBytes + 1)]);
    }
    return filters;
}

// A poster-sized image is encoded another way: its rows unfiltered (deflated at the fastest
// level), its pixels still coming back as written.
TEST_F(PngFile, APosterSizedImageComesBackAsWrittenWithUnfilteredRows) {
    const std::int32_t width = 8192;
    const std::int32_t height = 2049; // just past 2^24 pixels
    std::vector<std::uint8_t> bitmap(static_cast<std::size_t>(width) * height * 3, 0);
    const std::vector<std::uint8_t> grain = Pattern(width, 1);
    for (std::int32_t y = 0; y < height; y += 61) { // sparse rows of grain on black
        std::copy(grain.begin(), grain.end(), bitmap.begin() + std::ptrdiff_t{y} * width * 3);
    }
    WritePng(Path("big.png"), width, height, bitmap, {{"Software", "Vorticel"}});
    const test::DecodedPng png = test::DecodePng(Path("big.png"));
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(png.width, width);
    EXPECT_EQ(png.height, height);
    EXPECT_TRUE(png.bgr == bitmap);
    const std::vector<std::uint8_t> filters =
        RowFilters(Read("big.png"), static_cast<std::size_t>(width) * 3, height);
    ASSERT_EQ(filters.size(), static_cast<std::size_t>(height));
    EXPECT_EQ(std::count(filters.begin(), filters.end(), 0), height);
}

TEST_F(PngFile, TextsOfOtherWritersBeforeAndAfterTheImageData) {
    ASSERT_TRUE(WriteForeignPng(Path("foreign.png").c_str()));
    EXPECT_EQ(ReadPngTexts(Path("foreign.png")),
              (std::vector<PngText>{{"Author", "René"}, {"Comment", "written after the image"}}));
}

TEST_F(PngFile, WhatIsNoPngOrADamagedOneIsRefused) {
    using Reason = FileError::Reason;
    Write("text.png", "[Lorenz]\nA=10.000000\n");
    Write("empty.png", "");
    WritePng(Path("good.png"), 64, 64, Pattern(64, 64), {{"k", "v"}});
    const std::string good = Read("good.png");
    Write("truncated.png", good.substr(0, good.size() / 2));
    std::string corrupt = good;
    corrupt[good.size() / 2] = static_cast<char>(corrupt[good.size() / 2] ^ 0x55);
    Write("corrupt.png", corrupt);

    for (const char* name : {"text.png", "empty.png"}) {
        const FileError e = ErrorOf([&] { ReadPngTexts(Path(name)); });
        EXPECT_EQ(e.reason(), Reason::NotPng) << name;
        EXPECT_EQ(e.kind(), FileError::Kind::Read);
        EXPECT_EQ(std::string(e.what()),
                  "cannot read file " + Path(name) + ": it is not a PNG image");
    }
    for (const char* name : {"truncated.png", "corrupt.png"}) {
        const FileError e = ErrorOf([&] { ReadPngTexts(Path(name)); });
        EXPECT_EQ(e.reason(), Reason::NotPng) << name;
        EXPECT_NE(std::string(e.what()).find("it is a damaged PNG image ("), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(ErrorOf([&] { ReadPngTexts(dir.string()); }).reason(), Reason::Folder);
    EXPECT_EQ(ErrorOf([&] { ReadPngTexts("/dev/zero"); }).reason(), Reason::Device);
    EXPECT_EQ(ErrorOf([&] { ReadPngTexts(Path("missing.png")); }).systemError(), ENOENT);
}

// Whatever a header declares, the reader answers from the chunks alone, saying what is wrong.
TEST_F(PngFile, HostileChunksAreRefusedByWhatTheyDeclare) {
    using Reason = FileError::Reason;
    using test::PngChunk;
    using test::PngStart;
    using namespace std::string_literals;
    const std::string data = PngChunk("IDAT", std::string(64, 'x'));
    const std::string end = PngChunk("IEND", "");
    const auto reasonOf = [&](const std::string& name, const std::string& bytes) {
        Write(name, bytes);
        return ErrorOf([&] { ReadPngTexts(Path(name)); }).reason();
    };
    EXPECT_EQ(reasonOf("huge.png", PngStart(2147483647, 2147483647) + data + end),
              Reason::ImageTooLarge);
    EXPECT_EQ(reasonOf("wide.png", PngStart(134217728, 1, 16, 6) + data + end),
              Reason::ImageTooLarge);
    EXPECT_EQ(reasonOf("past.png", PngStart(8, 8) + PngChunk("tEXt", "k\0v"s, 1400000000) + end),
              Reason::ChunkPastEnd);
    std::string many = PngStart(8, 8);
    for (int i = 0; i < 257; ++i) {
        many += PngChunk("tEXt", "k\0v"s);
    }
    EXPECT_EQ(reasonOf("many.png", many + data + end), Reason::TooManyTexts);
    // 8 MB of zeros deflate to some 8 KB: refused once past the limit, never inflated whole.
    std::string zeros(8 << 20, '\0');
    std::vector<Bytef> packed(compressBound(zeros.size()));
    uLongf packedSize = packed.size();
    ASSERT_EQ(compress(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(zeros.data()),
                       zeros.size()),
              Z_OK);
    const std::string bomb = std::string("k\0\0", 3) +
                             std::string(reinterpret_cast<const char*>(packed.data()), packedSize);
    EXPECT_EQ(reasonOf("bomb.png", PngStart(8, 8) + PngChunk("zTXt", bomb) + data + end),
              Reason::TextTooLarge);
    // Damage the walk meets without decoding a row.
    EXPECT_EQ(reasonOf("critical.png", PngStart(8, 8) + PngChunk("ABCD", "") + data + end),
              Reason::NotPng);
    EXPECT_EQ(reasonOf("nodata.png", PngStart(8, 8) + end), Reason::NotPng);
    EXPECT_EQ(reasonOf("cut.png", PngStart(8, 8) + PngChunk("IDAT", "x", 1000) + end),
              Reason::NotPng);
    // Texts of another keyword are checked and dropped unread; an ancillary chunk with a bad
    // CRC that is no text is skipped, as other readers skip it.
    std::string odd = PngChunk("tIME", "1234567");
    odd[odd.size() - 1] = static_cast<char>(odd.back() ^ 1);
    Write("kept.png", PngStart(8, 8) + PngChunk("tEXt", "other\0x"s) + odd + data +
                          PngChunk("tEXt", "mine\0y"s) + end);
    PngTextLimits mine;
    mine.keyword = "mine";
    EXPECT_EQ(ReadPngTexts(Path("kept.png"), mine), (std::vector<PngText>{{"mine", "y"}}));
    // A walk that stops at the image data (a poster's file) neither reads nor checks it, and
    // takes only the texts before it; the header is checked all the same.
    std::string broken = data;
    broken[broken.size() - 1] = static_cast<char>(broken.back() ^ 1);
    Write("poster.png", PngStart(65535, 65535, 16) + PngChunk("tEXt", "mine\0x"s) + broken +
                            PngChunk("tEXt", "mine\0y"s) + end);
    mine.stopAtImageData = true;
    EXPECT_EQ(ReadPngTexts(Path("poster.png"), mine), (std::vector<PngText>{{"mine", "x"}}));
    EXPECT_EQ(reasonOf("poster.png", Read("poster.png")), Reason::NotPng);
    EXPECT_EQ(ErrorOf([&] { ReadPngTexts(Path("huge.png"), mine); }).reason(),
              Reason::ImageTooLarge);
}

TEST_F(PngFile, ARefusedSaveWritesNothing) {
    using Reason = FileError::Reason;
    Write("old.png", "old bytes");
    ASSERT_EQ(::chmod(Path("old.png").c_str(), 0444), 0);
    const std::vector<std::uint8_t> bitmap = Pattern(8, 8);
    EXPECT_EQ(ErrorOf([&] { WritePng(Path("old.png"), 8, 8, bitmap, {}); }).reason(),
              Reason::ReadOnly);
    // libpng's own refusal (an empty keyword) comes back through its error callback.
    const FileError empty = ErrorOf([&] { WritePng(Path("k.png"), 8, 8, bitmap, {{"", "x"}}); });
    EXPECT_EQ(empty.reason(), Reason::Encoder);
    EXPECT_EQ(empty.kind(), FileError::Kind::Write);
    EXPECT_NE(std::string(empty.what()).find("the PNG encoder failed: "), std::string::npos);
    EXPECT_EQ(ErrorOf([&] {
                  WritePng(Path("k.png"), 8, 8, bitmap, {{"Wörter", "x"}});
              }).reason(),
              Reason::Encoder); // would come back as other letters
    EXPECT_EQ(ErrorOf([&] { WritePng(Path("e.png"), 0, 0, {}, {}); }).reason(), Reason::Encoder);
    EXPECT_EQ(ErrorOf([&] { WritePng(Path("s.png"), 8, 9, bitmap, {}); }).reason(),
              Reason::Encoder); // fewer bytes than the size needs
    EXPECT_EQ(Read("old.png"), "old bytes");
    EXPECT_EQ(Names(), (Strings{"old.png"}));
}

TEST_F(PngFile, AWriteThatFailsInsideLibpngIsReportedWithItsReason) {
    WritePng(Path("keep.png"), 8, 8, Pattern(8, 8), {});
    const std::string old = Read("keep.png");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    // Noise does not compress: the stream fails in the middle of the rows.
    const std::vector<std::uint8_t> noise = Pattern(400, 400);
    FileError::Kind kind = FileError::Kind::Open;
    int error = 0;
    try {
        WritePng(Path("keep.png"), 400, 400, noise, {});
    } catch (const FileError& e) {
        kind = e.kind();
        error = e.systemError();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(kind, FileError::Kind::Write);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(Read("keep.png"), old);
    EXPECT_EQ(Names(), (Strings{"keep.png"}));
}

} // namespace
} // namespace vorticel
