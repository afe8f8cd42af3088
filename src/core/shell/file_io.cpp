#include "shell/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace pluvik {
namespace {

// The user reads these texts (a failed save of the settings): the system's own error texts are in
// English, so the common causes get words of the program's own.
std::string systemReason(int err) {
    switch (err) {
        case EACCES:
        case EPERM:
            return "没有写入的权限";
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return "磁盘空间不足";
        case EROFS:
            return "磁盘只能读不能写";
        case ENOENT:
            return "文件夹不存在";
        case ENOTDIR:
            return "路径中的一个文件夹其实是文件";
        case EISDIR:
            return "同名的文件夹占着这个位置";
        case EIO:
            return "磁盘读写出错";
        case EMFILE:
        case ENFILE:
            return "打开的文件太多";
        case ENAMETOOLONG:
            return "文件名太长";
        default:
            return "系统错误 " + std::to_string(err);
    }
}

std::string reason(const std::string& what, int err) {
    return what + "（" + systemReason(err) + "）";
}

std::string quoted(const std::filesystem::path& path) {
    return "“" + path.string() + "”";
}

void setError(std::string* error, std::string text) {
    if (error) *error = std::move(text);
}

// Writes everything, going on after short writes and interrupted calls.
bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// A name nobody else is using at this moment: the target's name, the process id, a counter and a
// random part, so two writers of the same file never share a temporary file.
std::string temporaryName(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937 random{std::random_device{}()};
    return "." + target.filename().string() + ".tmp-" + std::to_string(::getpid()) + "-" +
           std::to_string(counter++) + "-" + std::to_string(random() % 1000000);
}

}  // namespace

std::optional<std::string> readFileBytes(const std::filesystem::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[8192];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

bool fileExists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

namespace {

mode_t currentUmask() {
    // Read where the kernel shows it: setting the mask to read it back would, for that moment, let a
    // file another thread creates get the wrong bits.
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8)) & 0777;
    }
    // Without /proc: while the mask is read, it is the strictest, so nothing gets more than it should.
    const mode_t mask = ::umask(0777);
    ::umask(mask);
    return mask;
}

bool giveMode(const std::filesystem::path& path, mode_t mask) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return false;
    if (S_ISLNK(st.st_mode)) return true;
    const mode_t wanted = (S_ISDIR(st.st_mode) ? 0777 : 0666) & ~mask;
    return (st.st_mode & 07777) == wanted || ::chmod(path.c_str(), wanted) == 0;
}

}  // namespace

bool giveOrdinaryPermissions(const std::filesystem::path& path) {
    const mode_t mask = currentUmask();
    bool ok = giveMode(path, mask);
    std::error_code ec;
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(path, ec))) return ok;
    for (auto it = std::filesystem::recursive_directory_iterator(path, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        ok = giveMode(it->path(), mask) && ok;
    return ok && !ec;
}

bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string* error) {
    if (path.filename().empty()) {
        setError(error, "没有给出文件名");
        return false;
    }
    const std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : ".";

    std::filesystem::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = dir / temporaryName(path);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        setError(error, reason("无法在文件夹" + quoted(dir) + "中建立文件", errno));
        return false;
    }

    auto fail = [&](const std::string& what) {
        const int err = errno;
        if (fd >= 0) ::close(fd);
        ::unlink(temp.c_str());
        setError(error, reason(what, err));
        return false;
    };

    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        // Failing to copy the permission bits is not worth losing the write for.
        (void)::fchmod(fd, old.st_mode & 07777);
    }
    if (!writeAll(fd, bytes)) return fail("无法写入文件" + quoted(path));
    if (::fsync(fd) != 0) return fail("无法把文件" + quoted(path) + "写到磁盘上");
    if (::close(fd) != 0) {
        fd = -1;
        return fail("无法写完文件" + quoted(path));
    }
    fd = -1;
    if (::rename(temp.c_str(), path.c_str()) != 0) return fail("无法替换文件" + quoted(path));

    // Make the rename itself durable; the new contents are already safe, so a failure here is ignored.
    int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        (void)::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

}  // namespace pluvik
