// Env over the POSIX file system. Byte-range locks are Linux open-file-description locks, so they
// belong to the open file rather than to the process, as Windows' LockFileEx locks do.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "file.h"

namespace storage {

namespace {

// Share modes are emulated with a lock on one byte far above any data or record lock: shared
// opens hold a read lock on it, exclusive opens a write lock.
constexpr off_t kShareLockOffset = off_t(1) << 40;

int codeForErrno(int error, bool writing) {
    switch (error) {
        case ENOENT:
            return kFileNotFound;
        case ENOTDIR:
            return kPathNotFound;
        case EMFILE:
        case ENFILE:
            return kTooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EROFS:
            return kAccessDenied;
        case EBADF:
            return kInvalidHandle;
        case ENOSPC:
        case EDQUOT:
            return kWriteFailed;
        default:
            return writing ? kWriteFailed : kReadFailed;
    }
}

// The context carries the system's reason after the brackets ("No space left on device",
// "File too large"), which the table layer keeps in its own messages.
Status osError(const std::string& path, const char* operation, bool writing = false) {
    const int error = errno;
    return Status::Error(codeForErrno(error, writing),
                         path + " [" + operation + "]: " + std::strerror(error));
}

Status exists(const std::string& path) {
    return Status::Error(kFileExists, path + " [create]: File exists");
}

bool setOfdLock(int fd, short type, uint64_t offset, uint64_t length) {
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(offset);
    lock.l_len = static_cast<off_t>(length);
    lock.l_pid = 0;
    while (fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

bool equalsIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
        if (x != y) return false;
    }
    return i == a.size() && b[i] == '\0';
}

class PosixFile : public File {
  public:
    PosixFile(int fd, int lockFd, std::string path)
        : fd_(fd), lockFd_(lockFd), path_(std::move(path)) {}
    ~PosixFile() override {
        if (lockFd_ >= 0 && lockFd_ != fd_) ::close(lockFd_);
        ::close(fd_);
    }

    Status read(uint64_t offset, void* buffer, size_t n, size_t* got) override {
        size_t done = 0;
        auto* out = static_cast<char*>(buffer);
        while (done < n) {
            ssize_t r = ::pread(fd_, out + done, n - done, static_cast<off_t>(offset + done));
            if (r < 0) {
                if (errno == EINTR) continue;
                *got = done;
                return osError(path_, "read");
            }
            if (r == 0) break;
            done += static_cast<size_t>(r);
        }
        *got = done;
        return Status::OK();
    }

    Status write(uint64_t offset, const void* data, size_t n) override {
        size_t done = 0;
        const auto* in = static_cast<const char*>(data);
        while (done < n) {
            ssize_t w = ::pwrite(fd_, in + done, n - done, static_cast<off_t>(offset + done));
            if (w < 0) {
                if (errno == EINTR) continue;
                return osError(path_, "write", true);
            }
            done += static_cast<size_t>(w);
        }
        return Status::OK();
    }

    Status size(uint64_t* size) override {
        struct stat st;
        if (::fstat(fd_, &st) != 0) return osError(path_, "size");
        *size = static_cast<uint64_t>(st.st_size);
        return Status::OK();
    }

    Status stat(FileStamp* stamp) override {
        struct stat st;
        if (::fstat(fd_, &st) != 0) return osError(path_, "size");
        stamp->size = static_cast<uint64_t>(st.st_size);
        stamp->modified = uint64_t(st.st_mtim.tv_sec) * 1000000000u + uint64_t(st.st_mtim.tv_nsec);
        return Status::OK();
    }

    Status truncate(uint64_t size) override {
        if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
            return osError(path_, "truncate", true);
        return Status::OK();
    }

    Status sync() override {
        if (::fdatasync(fd_) != 0) return osError(path_, "sync", true);
        return Status::OK();
    }

    bool tryLock(uint64_t offset, uint64_t length) override {
        return setOfdLock(fd_, F_WRLCK, offset, length);
    }

    void unlock(uint64_t offset, uint64_t length) override {
        setOfdLock(fd_, F_UNLCK, offset, length);
    }

    const std::string& path() const override { return path_; }

  private:
    int fd_;
    int lockFd_;  // holds the share-mode lock; fd_ itself unless a writable descriptor was needed
    std::string path_;
};

class PosixEnv : public Env {
  public:
    Status openFile(const std::string& path, Access access, Share share,
                    std::unique_ptr<File>* file) override {
        const std::string actual = resolvePath(path);
        const int flags = (access == Access::ReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC;
        int fd = ::open(actual.c_str(), flags);
        if (fd < 0) return osError(actual, "open", false);
        int lockFd = fd;
        short lockType = share == Share::Exclusive ? F_WRLCK : F_RDLCK;
        if (share == Share::Exclusive && access == Access::ReadOnly) {
            // A write lock needs a descriptor open for writing; without one, a read lock still
            // keeps out exclusive openers.
            lockFd = ::open(actual.c_str(), O_RDWR | O_CLOEXEC);
            if (lockFd < 0) {
                lockFd = fd;
                lockType = F_RDLCK;
            }
        }
        if (!setOfdLock(lockFd, lockType, kShareLockOffset, 1)) {
            if (lockFd != fd) ::close(lockFd);
            ::close(fd);
            return Status::Error(kSharingViolation, actual + " [open]");
        }
        *file = std::make_unique<PosixFile>(fd, lockFd, actual);
        return Status::OK();
    }

    Status createFile(const std::string& path, std::unique_ptr<File>* file) override {
        const std::string actual = resolvePath(path);
        int fd = ::open(actual.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) return osError(actual, "create", true);
        *file = std::make_unique<PosixFile>(fd, fd, actual);
        return Status::OK();
    }

    Status createNewFile(const std::string& path, std::unique_ptr<File>* file) override {
        if (resolvePath(path) != path) return exists(path);
        int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) return errno == EEXIST ? exists(path) : osError(path, "create", true);
        *file = std::make_unique<PosixFile>(fd, fd, path);
        return Status::OK();
    }

    Status renameNew(const std::string& from, const std::string& to) override {
        if (resolvePath(to) != to) return exists(to);
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return Status::OK();
        if (errno == EEXIST) return exists(to);
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return osError(to, "rename", true);
        // File systems without an exclusive rename (network shares among them): a hard link is
        // made only where no name exists.
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return Status::OK();
        }
        if (errno == EEXIST) return exists(to);
        if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
            return osError(to, "rename", true);
        // Neither (a share without hard links): a plain rename after a last check.
        if (fileExists(to)) return exists(to);
        if (::rename(from.c_str(), to.c_str()) != 0) return osError(to, "rename", true);
        return Status::OK();
    }

    bool fileExists(const std::string& path) override {
        struct stat st;
        return ::stat(resolvePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }

    Status removeFile(const std::string& path) override {
        const std::string actual = resolvePath(path);
        if (::unlink(actual.c_str()) != 0) return osError(actual, "remove", true);
        return Status::OK();
    }

    std::string resolvePath(const std::string& path) override {
        struct stat st;
        if (::stat(path.c_str(), &st) == 0) return path;
        const size_t slash = path.find_last_of('/');
        const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        if (name.empty()) return path;
        DIR* d = ::opendir(dir.c_str());
        if (d == nullptr) return path;
        // Of several case variants, the smallest name wins, so every caller picks the same file.
        std::string best;
        while (dirent* entry = ::readdir(d)) {
            if (equalsIgnoringCase(name, entry->d_name) && (best.empty() || best > entry->d_name))
                best = entry->d_name;
        }
        ::closedir(d);
        if (best.empty()) return path;
        return slash == std::string::npos ? best : path.substr(0, slash + 1) + best;
    }

    Status freeSpace(const std::string& path, uint64_t* bytes) override {
        std::string target = resolvePath(path);
        struct stat st;
        if (::stat(target.c_str(), &st) != 0) {
            const size_t slash = target.find_last_of('/');
            target = slash == std::string::npos ? "." : target.substr(0, slash + 1);
        }
        struct statvfs vfs;
        if (::statvfs(target.c_str(), &vfs) != 0) return osError(target, "free space");
        *bytes = static_cast<uint64_t>(vfs.f_bavail) * static_cast<uint64_t>(vfs.f_frsize);
        return Status::OK();
    }

    bool isDirectory(const std::string& path) override {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    Status listFiles(const std::string& dir, std::vector<std::string>* names) override {
        names->clear();
        DIR* d = ::opendir(dir.c_str());
        if (d == nullptr) return Status::Error(kPathNotFound, dir + " [list]");
        const std::string prefix = !dir.empty() && dir.back() == '/' ? dir : dir + "/";
        while (dirent* entry = ::readdir(d)) {
            struct stat st;
            if (::stat((prefix + entry->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
                names->push_back(entry->d_name);
        }
        ::closedir(d);
        return Status::OK();
    }

    std::vector<std::string> arguments(int argc, char** argv) override {
        return std::vector<std::string>(argv, argv + argc);
    }

    // Ten milliseconds: the index semaphore's 1001 attempts then last the ten seconds its
    // timeout message announces.
    void sleepBetweenAttempts() override {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
};

}  // namespace

Env* Env::System() {
    // Past the file-size limit (ulimit -f) a write would end the process with SIGXFSZ; ignored,
    // the write fails with EFBIG and is reported like a full disk.
    static const bool ignoreFileSizeSignal = (std::signal(SIGXFSZ, SIG_IGN), true);
    (void)ignoreFileSizeSignal;
    static PosixEnv env;
    return &env;
}

}  // namespace storage
