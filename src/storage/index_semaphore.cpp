#include "index_semaphore.h"

namespace storage {

IndexSemaphore::IndexSemaphore(Env* env, const std::string& tablePath)
    : env_(env), path_(semaphorePathFor(tablePath)) {}

IndexSemaphore::~IndexSemaphore() {
    if (depth_ > 0 && file_) file_->unlock(kLockOffset, kLockLength);
}

Status IndexSemaphore::lock(const std::string& action) {
    if (depth_ > 0) {
        ++depth_;
        return Status::OK();
    }
    if (!file_) {
        Status s = env_->fileExists(path_)
                       ? env_->openFile(path_, Access::ReadWrite, Share::Shared, &file_)
                       : env_->createFile(path_, &file_);
        if (!s.ok()) return s;
    }
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (attempt > 0) env_->sleepBetweenAttempts();
        if (file_->tryLock(kLockOffset, kLockLength)) {
            depth_ = 1;
            return Status::OK();
        }
    }
    return Status::Error(kSemaphoreError,
                         "10 second timeout: Cannot lock index semaphore file: " + path_ + " " +
                             action + "\r\nPossible cause: Network lock limit exceeded\r\n" +
                             " Lock result code: " + std::to_string(kLockViolation));
}

Status IndexSemaphore::unlock() {
    if (depth_ == 0 || !file_)
        return Status::Error(kSemaphoreError,
                             "Cannot unlock index semaphore file: " + path_ +
                                 "\r\nPossible cause: Other user's program has terminated "
                                 "abnormally.");
    if (--depth_ == 0) file_->unlock(kLockOffset, kLockLength);
    return Status::OK();
}

SemaphoreGuard::SemaphoreGuard(IndexSemaphore* semaphore, const std::string& action)
    : semaphore_(semaphore) {
    if (!semaphore_) return;
    status_ = semaphore_->lock(action);
    held_ = status_.ok();
}

SemaphoreGuard::~SemaphoreGuard() { release(); }

Status SemaphoreGuard::release() {
    if (!held_) return Status::OK();
    held_ = false;
    return semaphore_->unlock();
}

}  // namespace storage
