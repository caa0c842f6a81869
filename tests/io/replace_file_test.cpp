// Saving by replacement: links, what is refused, mode and owner, and no litter on failure.
#include "io/replace_file.h"
#include "io_test_support.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <new>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace vorticel {
namespace {

using Strings = std::vector<std::string>;

class ReplaceFile : public test::TempFolder {
protected:
    struct stat Stat(const std::string& name) const {
        struct stat info {};
        EXPECT_EQ(::lstat(Path(name).c_str(), &info), 0) << name;
        return info;
    }
    // The reason of the FileError that saving `name` throws.
    FileError::Reason RefusalOf(const std::string& path) const {
        try {
            WriteFileReplacing(path, "new");
        } catch (const FileError& e) {
            EXPECT_EQ(e.kind(), FileError::Kind::Create);
            EXPECT_EQ(e.fileName(), path);
            return e.reason();
        }
        ADD_FAILURE() << "no error saving " << path;
        return FileError::Reason::System;
    }
};

TEST_F(ReplaceFile, WritesBytesOrWhatACallbackStreams) {
    WriteFileReplacing(Path("a.txt"), std::string_view("bytes\0and more", 14));
    EXPECT_EQ(Read("a.txt"), std::string("bytes\0and more", 14));
    WriteFileReplacing(Path("a.txt"), [](std::ostream& out) {
        for (int i = 0; i < 100000; ++i) { // past the stream's buffer
            out << i << '\n';
        }
    });
    EXPECT_EQ(Read("a.txt").substr(0, 6), "0\n1\n2\n");
    EXPECT_EQ(Read("a.txt").size(), std::size_t{588890});
    const mode_t mask = ::umask(022);
    WriteFileReplacing(Path("b.txt"), "x");
    ::umask(mask);
    EXPECT_EQ(Stat("b.txt").st_mode & 07777, 0644u);
    EXPECT_EQ(Names(), (Strings{"a.txt", "b.txt"}));
}

TEST_F(ReplaceFile, ALinkKeepsPointingAtItsNewlyWrittenTarget) {
    std::filesystem::create_directories(dir / "real");
    Write("real/target.txt", "old");
    std::filesystem::create_symlink("real/target.txt", dir / "link1"); // relative
    std::filesystem::create_symlink(dir / "link1", dir / "link2");     // a chain, absolute
    WriteFileReplacing(Path("link2"), "new");
    EXPECT_TRUE(S_ISLNK(Stat("link1").st_mode));
    EXPECT_TRUE(S_ISLNK(Stat("link2").st_mode));
    EXPECT_EQ(Read("real/target.txt"), "new");
    EXPECT_EQ(Names(), (Strings{"link1", "link2", "real"})); // the temporary was beside the target
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "real"), {}), 1);

    std::filesystem::create_symlink("missing.txt", dir / "dangling");
    WriteFileReplacing(Path("dangling"), "made");
    EXPECT_EQ(Read("missing.txt"), "made");
    EXPECT_TRUE(S_ISLNK(Stat("dangling").st_mode));

    std::filesystem::create_symlink("loop", dir / "loop");
    try {
        WriteFileReplacing(Path("loop"), "x");
        ADD_FAILURE() << "a loop of links was followed";
    } catch (const FileError& e) {
        EXPECT_EQ(e.systemError(), ELOOP);
    }
}

TEST_F(ReplaceFile, RefusesFoldersPipesAndDevicesAndTouchesNothing) {
    std::filesystem::create_directories(dir / "folder");
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/null", dir / "to-null");
    EXPECT_EQ(RefusalOf(Path("folder")), FileError::Reason::Folder);
    EXPECT_EQ(RefusalOf(Path("pipe")), FileError::Reason::Fifo); // would block if opened
    EXPECT_EQ(RefusalOf(Path("to-null")), FileError::Reason::Device);
    EXPECT_EQ(RefusalOf("/dev/full"), FileError::Reason::Device);
    EXPECT_TRUE(S_ISDIR(Stat("folder").st_mode));
    EXPECT_TRUE(S_ISFIFO(Stat("pipe").st_mode));
    struct stat device {};
    ASSERT_EQ(::stat("/dev/full", &device), 0);
    EXPECT_TRUE(S_ISCHR(device.st_mode));
    EXPECT_EQ(Names(), (Strings{"folder", "pipe", "to-null"}));
    EXPECT_THROW(CheckReplaceable(Path("folder")), FileError);
    EXPECT_THROW(CheckReplaceable("/dev/full"), FileError);
}

// By the mode bits, as an editor does, so it holds for the superuser too (who may write
// anything and would never see EACCES).
TEST_F(ReplaceFile, RefusesAReadOnlyFileWhoeverRunsIt) {
    Write("ro.txt", "keep me");
    ::chmod(Path("ro.txt").c_str(), 0444);
    EXPECT_EQ(RefusalOf(Path("ro.txt")), FileError::Reason::ReadOnly);
    EXPECT_THROW(CheckReplaceable(Path("ro.txt")), FileError);
    std::filesystem::create_symlink("ro.txt", dir / "to-ro");
    EXPECT_EQ(RefusalOf(Path("to-ro")), FileError::Reason::ReadOnly);
    EXPECT_EQ(Read("ro.txt"), "keep me");
    EXPECT_EQ(Names(), (Strings{"ro.txt", "to-ro"}));
    try {
        WriteFileReplacing(Path("ro.txt"), "x");
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "cannot create file " + Path("ro.txt") + ": the file is read-only");
    }
}

TEST_F(ReplaceFile, TheReplacedFileKeepsItsModeAndOwner) {
    Write("m.txt", "old");
    ::chmod(Path("m.txt").c_str(), 0640);
    // Only the superuser can give a file away; anyone else owns what they replace anyway.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(Path("m.txt").c_str(), 1234, 4321), 0);
    }
    WriteFileReplacing(Path("m.txt"), "new");
    const struct stat info = Stat("m.txt");
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(info.st_uid, root ? 1234u : ::geteuid());
    EXPECT_EQ(info.st_gid, root ? 4321u : info.st_gid);
    EXPECT_EQ(Read("m.txt"), "new");
}

TEST_F(ReplaceFile, AnyFailureKeepsTheOldFileAndLeavesNoTemporary) {
    Write("keep.txt", "good");
    struct Abort {};
    EXPECT_THROW(WriteFileReplacing(Path("keep.txt"),
                                    [](std::ostream& out) {
                                        out << "partial";
                                        throw Abort{};
                                    }),
                 Abort);
    EXPECT_THROW(WriteFileReplacing(Path("keep.txt"),
                                    [](std::ostream& out) {
                                        out << std::string(200000, 'x');
                                        throw std::bad_alloc();
                                    }),
                 std::bad_alloc);
    EXPECT_THROW(WriteFileReplacing(Path("no/such/folder/x.txt"), "x"), FileError);
    EXPECT_EQ(Read("keep.txt"), "good");
    EXPECT_EQ(Names(), (Strings{"keep.txt"}));
}

// A disk that fills up while the file is written: a file size limit makes write() fail as a
// full disk would, without needing one.
TEST_F(ReplaceFile, AWriteThatFailsMidwayIsReportedWithItsReason) {
    Write("keep.txt", "good");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    FileError::Kind kind = FileError::Kind::Open;
    int error = 0;
    try {
        WriteFileReplacing(Path("keep.txt"), std::string(100000, 'x'));
    } catch (const FileError& e) {
        kind = e.kind();
        error = e.systemError();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(kind, FileError::Kind::Write);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(Read("keep.txt"), "good");
    EXPECT_EQ(Names(), (Strings{"keep.txt"}));
}

// The child process is stopped by the signal in the middle of a save, as a user's Ctrl+C
// would stop it; the handler removes a named temporary file and the signal still ends it.
TEST_F(ReplaceFile, ATerminatingSignalRemovesTheTemporaryFile) {
    Write("keep.txt", "good");
    for (const TemporaryKind kind : {TemporaryKind::Unnamed, TemporaryKind::Named}) {
        for (const int signalNumber : {SIGINT, SIGTERM}) {
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                RemoveTemporariesOnSignals();
                FileReplacement save(Path("keep.txt"), kind);
                save.Stream() << std::string(100000, 'x');
                ::raise(signalNumber);
                ::_exit(0); // not reached
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFSIGNALED(status)) << status;
            EXPECT_EQ(WTERMSIG(status), signalNumber);
            EXPECT_EQ(Read("keep.txt"), "good");
            EXPECT_EQ(Names(), (Strings{"keep.txt"}));
        }
    }
}

// SIGKILL (or a power cut) runs no handler. An unnamed temporary file goes with the process;
// a named one, where the file system has no unnamed files, is swept by the next save there,
// while those of running processes and of other machines stay.
TEST_F(ReplaceFile, AKilledSaveLeavesNothingBehind) {
    Write("keep.txt", "good");
    const std::string live = TemporaryNamePrefix(dir.string()) + "abcdef"; // this process's
    Write(std::filesystem::path(live).filename().string(), "being written");
    Write(".vorticel-elsewhere-0-1-abcdef", "another machine's");
    const Strings others = Names();
    for (const TemporaryKind kind : {TemporaryKind::Unnamed, TemporaryKind::Named}) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            FileReplacement save(Path("keep.txt"), kind);
            save.Stream() << std::string(100000, 'x') << std::flush;
            (void)!::write(ready[1], "w", 1);
            ::pause();
            ::_exit(0); // not reached
        }
        char byte = 0;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1);
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(ready[0]);
        ::close(ready[1]);
        EXPECT_EQ(Read("keep.txt"), "good");
        if (kind == TemporaryKind::Named) {
            EXPECT_EQ(Names().size(), others.size() + 1); // the dead child's
            WriteFileReplacing(Path("next.txt"), "next");
            ASSERT_EQ(std::remove(Path("next.txt").c_str()), 0);
        }
        EXPECT_EQ(Names(), others) << (kind == TemporaryKind::Named ? "named" : "unnamed");
    }
}

TEST_F(ReplaceFile, CheckReplaceableWritesNothing) {
    EXPECT_NO_THROW(CheckReplaceable(Path("new.txt")));
    Write("old.txt", "x");
    EXPECT_NO_THROW(CheckReplaceable(Path("old.txt")));
    EXPECT_THROW(CheckReplaceable(Path("no/such/new.txt")), FileError);
    EXPECT_THROW(CheckReplaceable(Path("old.txt/new.txt")), FileError);
    EXPECT_EQ(Names(), (Strings{"old.txt"}));
}

TEST(FdStreamBuf, RemembersWhyAWriteFailed) {
    const int fd = ::open("/dev/full", O_WRONLY);
    ASSERT_GE(fd, 0);
    FdStreamBuf buffer(fd);
    std::ostream out(&buffer);
    out << std::string(FdStreamBuf::kBufferSize + 1, 'x');
    out.flush();
    EXPECT_FALSE(out);
    EXPECT_EQ(buffer.error(), ENOSPC);
    ::close(fd);
}

} // namespace
} // namespace vorticel
