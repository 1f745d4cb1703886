#pragma once

#include <memory>
#include <string>

#include "file.h"
#include "file_names.h"
#include "status.h"

namespace storage {

// The index semaphore of a shared table: bytes 1 to 4 of the file named like the table with the
// extension ".@S@", in the table's directory. Whoever holds them may change the table's index
// files. Locks nest within one object: only the outermost lock() and unlock() touch the file.
class IndexSemaphore {
  public:
    // `tablePath` is the table file's path; the semaphore file is created on the first lock().
    IndexSemaphore(Env* env, const std::string& tablePath);
    ~IndexSemaphore();

    // The semaphore file's path.
    const std::string& path() const { return path_; }

    // Opens (or creates) the semaphore file and locks its bytes 1 to 4, trying up to 1001 times
    // with Env::sleepBetweenAttempts between tries. Failure: error 1202 "10 second timeout:
    // Cannot lock index semaphore file: <path> <action>..." (or the file's open error).
    Status lock(const std::string& action);
    // Releases the lock taken by the matching lock(). Unlocking when nothing is held gives error
    // 1202 "Cannot unlock index semaphore file: <path>...".
    Status unlock();

    bool held() const { return depth_ > 0; }

    static constexpr int kAttempts = 1001;
    static constexpr uint64_t kLockOffset = 1;
    static constexpr uint64_t kLockLength = 4;

  private:
    Env* env_;
    std::string path_;
    std::unique_ptr<File> file_;
    int depth_ = 0;
};

// Holds the semaphore for a scope when `semaphore` is not null (exclusive tables pass null).
class SemaphoreGuard {
  public:
    SemaphoreGuard(IndexSemaphore* semaphore, const std::string& action);
    ~SemaphoreGuard();
    SemaphoreGuard(const SemaphoreGuard&) = delete;
    SemaphoreGuard& operator=(const SemaphoreGuard&) = delete;

    const Status& status() const { return status_; }
    // Releases early and reports the unlock's outcome.
    Status release();

  private:
    IndexSemaphore* semaphore_;
    Status status_;
    bool held_ = false;
};

}  // namespace storage
