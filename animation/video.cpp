// The video: the frames fed to ffmpeg through its standard input, no shell in between.
#include "animation/animation.h"
#include "io/read_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <spawn.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vorticel {
namespace {

constexpr const char* kEncoder = "ffmpeg";
constexpr std::size_t kMaxFrameBytes = std::size_t{1} << 31;

// Sends everything, without a SIGPIPE should the encoder have gone.
bool SendAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    void Close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

private:
    int fd_;
};

} // namespace

bool VideoEncoderAvailable() {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        const std::size_t colon = std::min(folders.find(':', start), folders.size());
        const std::string folder = folders.substr(start, colon - start);
        const std::string file = (folder.empty() ? "." : folder) + "/" + kEncoder;
        if (::access(file.c_str(), X_OK) == 0) {
            return true;
        }
        start = colon + 1;
    }
    return false;
}

void EncodeVideo(const std::string& folder, const Animation& animation,
                 const std::string& videoFile) {
    // Written under another name, renamed once whole: an interrupted encoding leaves no
    // half video under the name asked for.
    const std::string partial = videoFile + ".part";
    const std::string fps = std::to_string(animation.fps);
    const std::vector<std::string> arguments = {
        kEncoder, "-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-f", "image2pipe",
        "-framerate", fps, "-c:v", "png", "-i", "pipe:0",
        // H.264 in 4:2:0 wants even sides.
        "-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2", "-c:v", "libx264", "-pix_fmt", "yuv420p", "-r", fps,
        "-movflags", "+faststart", "-f", "mp4", partial};
    std::vector<char*> argv;
    for (const std::string& a : arguments) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);

    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        throw std::runtime_error(std::string("cannot start ffmpeg: ") + std::strerror(errno));
    }
    Descriptor ours(ends[0]);
    Descriptor theirs(ends[1]);
    ::shutdown(ends[1], SHUT_WR);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, theirs.Get(), STDIN_FILENO);
    pid_t child = 0;
    const int spawned = ::posix_spawnp(&child, kEncoder, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error(std::string("cannot start ffmpeg: ") + std::strerror(spawned));
    }
    theirs.Close();
    std::int32_t sent = 0;
    bool fed = true;
    std::string unreadable;
    for (std::int32_t k = 1; k <= animation.frames && fed; ++k) {
        const std::string frame = folder + "/" + FrameFileName(animation, k);
        std::error_code ignored;
        if (!std::filesystem::exists(frame, ignored)) {
            continue; // a frame that failed is left out
        }
        try {
            fed = SendAll(ours.Get(), ReadRegularFile(frame, kMaxFrameBytes));
        } catch (const std::exception& e) {
            unreadable = e.what(); // the encoder is stopped and waited for all the same
            fed = false;
        }
        sent += fed;
    }
    ours.Close();
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!unreadable.empty()) {
        std::remove(partial.c_str());
        throw std::runtime_error(unreadable);
    }
    if (!fed || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || sent == 0) {
        std::remove(partial.c_str());
        throw std::runtime_error(sent == 0 ? "no frame to encode in " + folder
                                           : "ffmpeg failed to encode " + videoFile);
    }
    if (std::rename(partial.c_str(), videoFile.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        std::remove(partial.c_str());
        throw std::runtime_error("cannot rename " + partial + " to " + videoFile + ": " + why);
    }
}

} // namespace vorticel
