#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "file.h"

namespace storage {

// An Env that keeps its files in memory, for tests and fuzzing. It behaves like the real one:
// names are found whatever their letter case, locks belong to the open file and conflict between
// File objects, and Exclusive opens conflict with every other open (code 32). Files stay alive
// while an open File refers to them, even after removeFile. Thread-safe.
class MemEnv : public Env {
  public:
    MemEnv();
    ~MemEnv() override;

    Status openFile(const std::string& path, Access access, Share share,
                    std::unique_ptr<File>* file) override;
    Status createFile(const std::string& path, std::unique_ptr<File>* file) override;
    Status createNewFile(const std::string& path, std::unique_ptr<File>* file) override;
    Status renameNew(const std::string& from, const std::string& to) override;
    bool fileExists(const std::string& path) override;
    Status removeFile(const std::string& path) override;
    std::string resolvePath(const std::string& path) override;
    Status freeSpace(const std::string& path, uint64_t* bytes) override;
    // Directories exist only as the folders of files: a directory is there while a file is.
    bool isDirectory(const std::string& path) override;
    Status listFiles(const std::string& dir, std::vector<std::string>* names) override;
    void sleepBetweenAttempts() override;
    std::vector<std::string> arguments(int argc, char** argv) override;

    // Test controls.
    // Runs `hook` (once) with the path at the start of the next createNewFile or renameNew, as
    // another process creating that file at that moment would.
    void beforeNextCreate(std::function<void(const std::string&)> hook);
    // The bytes of a file; empty when it does not exist.
    std::string contents(const std::string& path);
    // Creates or replaces a file's bytes (open File objects see the new bytes).
    void setContents(const std::string& path, std::string bytes);
    // After `bytes` more bytes have been written (over all files), every write fails with code
    // 101; the write that crosses the limit stores only the bytes up to it. A negative value
    // lifts the limit.
    void failWritesAfter(int64_t bytes);
    // As failWritesAfter, but only bytes that make a file longer count and fail, as on a real
    // full disk: overwriting bytes a file already holds always succeeds.
    void failGrowthAfter(int64_t bytes);
    // The value freeSpace reports (default: 1 GiB).
    void setFreeSpace(uint64_t bytes);
    // Writes and truncations that would make a file larger fail with code 101 (default: 1 GiB).
    void setMaxFileSize(uint64_t bytes);
    // How many times sleepBetweenAttempts was called.
    int sleeps() const;

  private:
    struct Data;
    class MemFile;
    friend class MemFile;

    std::string keyFor(const std::string& path) const;
    // Called by MemFile under mutex_: how many of n bytes a write may store.
    // How many of the n bytes to be written at `offset` of a file of `size` bytes get written.
    size_t allowWrite(uint64_t offset, size_t n, uint64_t size);

    void runCreateHook(const std::string& path);

    mutable std::mutex mutex_;
    std::map<std::string, std::shared_ptr<Data>> files_;  // by case-folded path
    std::function<void(const std::string&)> beforeCreate_;
    int64_t writeBudget_ = -1;
    bool onlyGrowthCounts_ = false;
    uint64_t freeSpace_ = uint64_t(1) << 30;
    uint64_t maxFileSize_ = uint64_t(1) << 30;
    int sleeps_ = 0;
    // Every change of a file's bytes takes the next number as its modification stamp: the
    // finest resolution a clock could have, so no two changes share a stamp.
    uint64_t changes_ = 0;
};

}  // namespace storage
