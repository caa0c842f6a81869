// Bounded reads of regular files; what is no regular file is refused without waiting.
#include "io/file_error.h"
#include "io/read_file.h"
#include "io_test_support.h"

#include <cerrno>
#include <sys/stat.h>

namespace vorticel {
namespace {

class ReadFile : public test::TempFolder {
protected:
    FileError::Reason RefusalOf(const std::string& path, std::size_t maxBytes = 100) const {
        try {
            ReadRegularFile(path, maxBytes);
        } catch (const FileError& e) {
            EXPECT_EQ(e.fileName(), path);
            return e.reason();
        }
        ADD_FAILURE() << "no error reading " << path;
        return FileError::Reason::System;
    }
};

TEST_F(ReadFile, ReadsUpToTheBoundAndNoFurther) {
    Write("ten.txt", "0123456789");
    EXPECT_EQ(ReadRegularFile(Path("ten.txt"), 10), "0123456789");
    EXPECT_EQ(RefusalOf(Path("ten.txt"), 9), FileError::Reason::TooLarge);
    Write("empty.txt", "");
    EXPECT_EQ(ReadRegularFile(Path("empty.txt"), 10), "");
    std::filesystem::create_symlink("ten.txt", dir / "link");
    EXPECT_EQ(ReadRegularFile(Path("link"), 10), "0123456789");
}

// In pieces, the bound counts every byte read so far, not one piece.
TEST_F(ReadFile, ReadsInPiecesUpToTheBoundOverAll) {
    Write("ten.txt", "0123456789");
    RegularFileReader whole(Path("ten.txt"), 10);
    char piece[4];
    EXPECT_EQ(whole.Read(piece, 4), 4u);
    EXPECT_EQ(std::string(piece, 4), "0123");
    EXPECT_EQ(whole.Read(piece, 4), 4u);
    EXPECT_EQ(whole.Read(piece, 4), 2u); // the end of the file
    EXPECT_EQ(std::string(piece, 2), "89");
    EXPECT_EQ(whole.Read(piece, 4), 0u);
    RegularFileReader bounded(Path("ten.txt"), 9);
    EXPECT_EQ(bounded.Read(piece, 4), 4u);
    EXPECT_EQ(bounded.Read(piece, 4), 4u);
    try {
        bounded.Read(piece, 4);
        ADD_FAILURE() << "read past the bound";
    } catch (const FileError& e) {
        EXPECT_EQ(e.reason(), FileError::Reason::TooLarge);
        EXPECT_EQ(e.kind(), FileError::Kind::Read);
    }
    EXPECT_THROW(RegularFileReader(dir.string(), 10), FileError);
}

TEST_F(ReadFile, RefusesAtOnceWhatIsNoRegularFile) {
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0644), 0); // no writer: an open would block
    EXPECT_EQ(RefusalOf(Path("pipe")), FileError::Reason::Fifo);
    EXPECT_EQ(RefusalOf("/dev/zero"), FileError::Reason::Device); // would never end
    EXPECT_EQ(RefusalOf(dir.string()), FileError::Reason::Folder);
    EXPECT_EQ(RefusalOf(Path("missing")), FileError::Reason::System);
    try {
        ReadRegularFile(Path("missing"), 10);
    } catch (const FileError& e) {
        EXPECT_EQ(e.kind(), FileError::Kind::Open);
        EXPECT_EQ(e.systemError(), ENOENT);
        EXPECT_EQ(std::string(e.what()),
                  "cannot open file " + Path("missing") + ": No such file or directory");
    }
}

} // namespace
} // namespace vorticel
