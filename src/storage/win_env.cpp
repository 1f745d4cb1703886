// Env over the Win32 file API. Paths are UTF-8 here and UTF-16 towards Windows. Tables are opened
// with share modes (shared: others may read, write and delete; exclusive: nobody else may open
// the file), and byte-range locks are LockFileEx locks, which belong to the handle.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "file.h"

namespace storage {

namespace {

std::wstring widen(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string narrow(const wchar_t* text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The position after the last separator (or drive colon), 0 when there is none.
size_t nameStart(const std::string& path) {
    const size_t at = path.find_last_of("\\/:");
    return at == std::string::npos ? 0 : at + 1;
}

// The file layer's codes are the DOS codes, which Windows kept for these cases.
int codeForError(DWORD error, bool writing) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return kFileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH:
            return kPathNotFound;
        case ERROR_TOO_MANY_OPEN_FILES:
            return kTooManyOpenFiles;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return kAccessDenied;
        case ERROR_INVALID_HANDLE:
            return kInvalidHandle;
        case ERROR_SHARING_VIOLATION:
            return kSharingViolation;
        case ERROR_LOCK_VIOLATION:
            return kLockViolation;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return kWriteFailed;
        default:
            return writing ? kWriteFailed : kReadFailed;
    }
}

Status osError(const std::string& path, const char* operation, bool writing = false) {
    return Status::Error(codeForError(::GetLastError(), writing), path + " [" + operation + "]");
}

OVERLAPPED at(uint64_t offset) {
    OVERLAPPED o = {};
    o.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    o.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return o;
}

// FileDispositionInfoEx (Windows 10 1607 and later); MinGW's headers offer it only to programs
// that require that version.
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
struct DispositionEx {
    DWORD flags;
};
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionPosixSemantics = 0x2;

constexpr size_t kMaxTransfer = size_t(1) << 30;  // one ReadFile / WriteFile call at most

class WinFile : public File {
  public:
    WinFile(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
    ~WinFile() override {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            for (const Range& r : held_) release(r);
        }
        ::CloseHandle(handle_);
    }

    Status read(uint64_t offset, void* buffer, size_t n, size_t* got) override {
        size_t done = 0;
        auto* out = static_cast<char*>(buffer);
        while (done < n) {
            OVERLAPPED o = at(offset + done);
            DWORD r = 0;
            const DWORD want = static_cast<DWORD>(std::min(n - done, kMaxTransfer));
            if (!::ReadFile(handle_, out + done, want, &r, &o)) {
                if (::GetLastError() == ERROR_HANDLE_EOF) break;
                *got = done;
                return osError(path_, "read");
            }
            if (r == 0) break;
            done += r;
        }
        *got = done;
        return Status::OK();
    }

    Status write(uint64_t offset, const void* data, size_t n) override {
        size_t done = 0;
        const auto* in = static_cast<const char*>(data);
        while (done < n) {
            OVERLAPPED o = at(offset + done);
            DWORD w = 0;
            const DWORD want = static_cast<DWORD>(std::min(n - done, kMaxTransfer));
            if (!::WriteFile(handle_, in + done, want, &w, &o))
                return osError(path_, "write", true);
            if (w == 0) return Status::Error(kWriteFailed, path_ + " [write]");
            done += w;
        }
        return Status::OK();
    }

    Status size(uint64_t* size) override {
        LARGE_INTEGER s;
        if (!::GetFileSizeEx(handle_, &s)) return osError(path_, "size");
        *size = static_cast<uint64_t>(s.QuadPart);
        return Status::OK();
    }

    Status stat(FileStamp* stamp) override {
        FILE_BASIC_INFO basic = {};
        FILE_STANDARD_INFO standard = {};
        if (!::GetFileInformationByHandleEx(handle_, FileBasicInfo, &basic, sizeof basic) ||
            !::GetFileInformationByHandleEx(handle_, FileStandardInfo, &standard, sizeof standard))
            return osError(path_, "size");
        stamp->size = static_cast<uint64_t>(standard.EndOfFile.QuadPart);
        // 100-nanosecond intervals since 1601: as fine a stamp as the file system keeps.
        stamp->modified = static_cast<uint64_t>(basic.LastWriteTime.QuadPart) * 100u;
        return Status::OK();
    }

    Status truncate(uint64_t size) override {
        FILE_END_OF_FILE_INFO info = {};
        info.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
        if (!::SetFileInformationByHandle(handle_, FileEndOfFileInfo, &info, sizeof info))
            return osError(path_, "truncate", true);
        return Status::OK();
    }

    Status sync() override {
        if (!::FlushFileBuffers(handle_)) return osError(path_, "sync", true);
        return Status::OK();
    }

    // LockFileEx locks do not merge: a handle's lock conflicts with a second lock of the same
    // handle on an overlapping range, and each must be released with its exact range. The
    // contract here is that of a lock owner holding a set of bytes, so the handle remembers its
    // ranges, locks only the bytes it does not hold yet, and releases by remembered range.
    bool tryLock(uint64_t offset, uint64_t length) override {
        if (length == 0) return true;
        std::lock_guard<std::mutex> guard(mutex_);
        std::vector<Range> gaps;
        uint64_t next = offset;
        const uint64_t end = offset + length;
        std::sort(held_.begin(), held_.end());
        for (const Range& r : held_) {
            if (r.end() <= next) continue;
            if (r.offset >= end) break;
            if (r.offset > next) gaps.push_back({next, r.offset - next});
            next = std::max(next, r.end());
        }
        if (next < end) gaps.push_back({next, end - next});
        for (size_t i = 0; i < gaps.size(); ++i) {
            if (!acquire(gaps[i])) {
                for (size_t j = 0; j < i; ++j) release(gaps[j]);
                return false;
            }
        }
        held_.insert(held_.end(), gaps.begin(), gaps.end());
        return true;
    }

    void unlock(uint64_t offset, uint64_t length) override {
        if (length == 0) return;
        std::lock_guard<std::mutex> guard(mutex_);
        const uint64_t end = offset + length;
        std::vector<Range> kept;
        for (const Range& r : held_) {
            if (r.end() <= offset || r.offset >= end) {
                kept.push_back(r);
                continue;
            }
            release(r);
            // The parts outside the unlocked range are locked again. Another handle may take
            // them in the moment between; they are then no longer held here.
            if (r.offset < offset) {
                const Range before{r.offset, offset - r.offset};
                if (acquire(before)) kept.push_back(before);
            }
            if (r.end() > end) {
                const Range after{end, r.end() - end};
                if (acquire(after)) kept.push_back(after);
            }
        }
        held_ = std::move(kept);
    }

    const std::string& path() const override { return path_; }

  private:
    struct Range {
        uint64_t offset;
        uint64_t length;
        uint64_t end() const { return offset + length; }
        bool operator<(const Range& other) const { return offset < other.offset; }
    };

    bool acquire(const Range& r) {
        OVERLAPPED o = at(r.offset);
        return ::LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                            static_cast<DWORD>(r.length & 0xFFFFFFFFu),
                            static_cast<DWORD>(r.length >> 32), &o) != 0;
    }

    void release(const Range& r) {
        OVERLAPPED o = at(r.offset);
        ::UnlockFileEx(handle_, 0, static_cast<DWORD>(r.length & 0xFFFFFFFFu),
                       static_cast<DWORD>(r.length >> 32), &o);
    }

    HANDLE handle_;
    std::string path_;
    std::mutex mutex_;  // guards held_
    std::vector<Range> held_;
};

class WinEnv : public Env {
  public:
    Status openFile(const std::string& path, Access access, Share share,
                    std::unique_ptr<File>* file) override {
        const std::string actual = resolvePath(path);
        const DWORD desired =
            access == Access::ReadOnly ? GENERIC_READ : (GENERIC_READ | GENERIC_WRITE);
        const DWORD mode =
            share == Share::Shared ? (FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE) : 0;
        HANDLE h = ::CreateFileW(widen(actual).c_str(), desired, mode, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return osError(actual, "open");
        *file = std::make_unique<WinFile>(h, actual);
        return Status::OK();
    }

    Status createFile(const std::string& path, std::unique_ptr<File>* file) override {
        const std::string actual = resolvePath(path);
        HANDLE h = ::CreateFileW(widen(actual).c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return osError(actual, "create", true);
        *file = std::make_unique<WinFile>(h, actual);
        return Status::OK();
    }

    Status createNewFile(const std::string& path, std::unique_ptr<File>* file) override {
        HANDLE h = ::CreateFileW(widen(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                return Status::Error(kFileExists, path + " [create]");
            return osError(path, "create", true);
        }
        *file = std::make_unique<WinFile>(h, path);
        return Status::OK();
    }

    Status renameNew(const std::string& from, const std::string& to) override {
        // Without MOVEFILE_REPLACE_EXISTING the move fails where the name exists.
        if (::MoveFileExW(widen(from).c_str(), widen(to).c_str(), 0)) return Status::OK();
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
            return Status::Error(kFileExists, to + " [rename]");
        return osError(to, "rename", true);
    }

    bool fileExists(const std::string& path) override {
        const DWORD attributes = ::GetFileAttributesW(widen(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    // The name goes at once, as a POSIX unlink does, even while the file is open elsewhere (a
    // plain DeleteFileW leaves it until the last handle closes, and a file of that name cannot
    // be created meanwhile). Where the file system lacks that way of deleting, the file is first
    // renamed out of the way.
    Status removeFile(const std::string& path) override {
        const std::string actual = resolvePath(path);
        const std::wstring wide = widen(actual);
        HANDLE h = ::CreateFileW(wide.c_str(), DELETE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return osError(actual, "remove", true);
        DispositionEx posix = {kDispositionDelete | kDispositionPosixSemantics};
        const bool done =
            ::SetFileInformationByHandle(h, kFileDispositionInfoEx, &posix, sizeof posix) != 0;
        ::CloseHandle(h);
        if (done) return Status::OK();
        static unsigned counter = 0;
        const std::wstring aside = widen(actual + ".~" + std::to_string(::GetCurrentProcessId()) +
                                         "-" + std::to_string(++counter));
        const std::wstring& victim = ::MoveFileExW(wide.c_str(), aside.c_str(), 0) ? aside : wide;
        if (!::DeleteFileW(victim.c_str())) return osError(actual, "remove", true);
        return Status::OK();
    }

    // Windows finds names whatever their case; this only fetches the stored spelling of the
    // last part, so that paths shown and compared are the directory's own.
    std::string resolvePath(const std::string& path) override {
        const size_t start = nameStart(path);
        if (start >= path.size() || path.find_first_of("*?", start) != std::string::npos)
            return path;
        WIN32_FIND_DATAW found;
        HANDLE h = ::FindFirstFileW(widen(path).c_str(), &found);
        if (h == INVALID_HANDLE_VALUE) return path;
        ::FindClose(h);
        return path.substr(0, start) + narrow(found.cFileName);
    }

    Status freeSpace(const std::string& path, uint64_t* bytes) override {
        std::string dir = path;
        if (!isDirectory(dir)) {
            const size_t start = nameStart(dir);
            dir = start == 0 ? "." : dir.substr(0, start);
        }
        ULARGE_INTEGER available;
        if (!::GetDiskFreeSpaceExW(widen(dir).c_str(), &available, nullptr, nullptr))
            return osError(dir, "free space");
        *bytes = static_cast<uint64_t>(available.QuadPart);
        return Status::OK();
    }

    bool isDirectory(const std::string& path) override {
        const DWORD attributes = ::GetFileAttributesW(widen(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    Status listFiles(const std::string& dir, std::vector<std::string>* names) override {
        names->clear();
        const std::string pattern =
            (!dir.empty() && isSeparator(dir.back()) ? dir : dir + "\\") + "*";
        WIN32_FIND_DATAW found;
        HANDLE h = ::FindFirstFileW(widen(pattern).c_str(), &found);
        if (h == INVALID_HANDLE_VALUE) {
            if (::GetLastError() == ERROR_FILE_NOT_FOUND) return Status::OK();  // empty
            return Status::Error(kPathNotFound, dir + " [list]");
        }
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names->push_back(narrow(found.cFileName));
        } while (::FindNextFileW(h, &found));
        ::FindClose(h);
        return Status::OK();
    }

    std::vector<std::string> arguments(int argc, char** argv) override {
        int count = 0;
        LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
        if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i) out.push_back(narrow(wide[i]));
        ::LocalFree(wide);
        return out;
    }

    // Ten milliseconds: the index semaphore's 1001 attempts then last the ten seconds its
    // timeout message announces.
    void sleepBetweenAttempts() override { ::Sleep(10); }
};

}  // namespace

Env* Env::System() {
    static WinEnv env;
    return &env;
}

}  // namespace storage
