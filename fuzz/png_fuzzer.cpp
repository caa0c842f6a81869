// libFuzzer target: the PNG container. The chunk walk must refuse or read any bytes within its
// limits (the run's RSS limit makes a memory bomb a finding), and the texts it reads must come
// back the same once written by the libpng writer and walked again.
#include "io/file_error.h"
#include "render/png_chunks.h"
#include "render/recipe.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

using namespace vorticel;

std::uint32_t BigEndian(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

// Mutations break CRCs, which would stop the walk at the first chunk: mend them first (but
// leave inputs of odd size as they are, so a bad CRC is still met).
std::string WithMendedCrcs(std::string bytes) {
    if (bytes.size() % 2 != 0) {
        return bytes;
    }
    auto* p = reinterpret_cast<unsigned char*>(bytes.data());
    for (std::size_t at = 8; at + 12 <= bytes.size();) {
        const std::uint64_t length = BigEndian(p + at);
        if (length > bytes.size() - at - 12) {
            break;
        }
        const uLong crc = crc32(0, p + at + 4, static_cast<uInt>(length + 4));
        for (int i = 0; i < 4; ++i) {
            p[at + 8 + length + static_cast<std::size_t>(i)] =
                static_cast<unsigned char>(crc >> (24 - 8 * i));
        }
        at += 12 + length;
    }
    return bytes;
}

std::vector<PngText> Walk(const std::string& bytes, const PngTextLimits& limits) {
    std::size_t at = 0;
    const PngByteSource source = [&](char* data, std::size_t size) {
        const std::size_t n = std::min(size, bytes.size() - at);
        std::memcpy(data, bytes.data() + at, n);
        at += n;
        return n;
    };
    return ReadPngTexts(source, bytes.size(), "fuzz.png", limits);
}

// What the writer keeps byte for byte: libpng measures a text with strlen, and trims or
// refuses keywords with spaces at either end or twice in a row; ours takes printable ASCII.
bool Writable(const PngText& text) {
    const std::string& key = text.first;
    return text.second.find('\0') == std::string::npos &&
           std::all_of(key.begin(), key.end(), [](char c) { return c >= 0x20 && c <= 0x7E; }) &&
           key.front() != ' ' && key.back() != ' ' && key.find("  ") == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes =
        WithMendedCrcs(std::string(reinterpret_cast<const char*>(data), size));

    // The walk of a recipe keeps its own keyword only, and no more than a recipe's bytes.
    PngTextLimits recipe;
    recipe.keyword = kRecipeKeyword;
    recipe.maxTextBytes = kMaxRecipeBytes;
    try {
        for (const PngText& text : Walk(bytes, recipe)) {
            if (text.first != kRecipeKeyword || text.second.size() > kMaxRecipeBytes) {
                std::abort();
            }
        }
    } catch (const FileError&) {
    }

    std::vector<PngText> texts;
    try {
        texts = Walk(bytes, PngTextLimits{});
    } catch (const FileError&) {
        return 0;
    }
    texts.erase(
        std::remove_if(texts.begin(), texts.end(), [](const PngText& t) { return !Writable(t); }),
        texts.end());
    std::ostringstream out;
    try {
        EncodePng(out, "fuzz.png", 1, 1, {1, 2, 3}, texts);
    } catch (const FileError&) {
        return 0; // a keyword libpng refuses for a rule of its own
    }
    if (Walk(out.str(), PngTextLimits{}) != texts) {
        std::abort(); // the writer and the walk disagree on a text
    }
    return 0;
}
