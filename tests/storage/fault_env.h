#pragma once

// An Env for helper processes that die in the middle of a run of writes: it passes everything to
// the real Env and counts the writes of all its files (creating, renaming and truncating count as
// writes); the process is killed with SIGKILL just before the write numbered killAt (from 1), as
// a machine switched off would stop. killAt 0 never kills: a dry run counts the writes.

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "storage/file.h"

namespace helper_tables {

class FaultEnv : public storage::Env {
  public:
    FaultEnv(storage::Env* base, long killAt) : base_(base), killAt_(killAt) {}

    long writes() const { return writes_; }

    storage::Status openFile(const std::string& path, storage::Access access, storage::Share share,
                             std::unique_ptr<storage::File>* file) override {
        storage::Status s = base_->openFile(path, access, share, file);
        if (s.ok()) *file = std::make_unique<FaultFile>(this, std::move(*file));
        return s;
    }
    storage::Status createFile(const std::string& path,
                               std::unique_ptr<storage::File>* file) override {
        beforeWrite();
        storage::Status s = base_->createFile(path, file);
        if (s.ok()) *file = std::make_unique<FaultFile>(this, std::move(*file));
        return s;
    }
    storage::Status createNewFile(const std::string& path,
                                  std::unique_ptr<storage::File>* file) override {
        beforeWrite();
        storage::Status s = base_->createNewFile(path, file);
        if (s.ok()) *file = std::make_unique<FaultFile>(this, std::move(*file));
        return s;
    }
    storage::Status renameNew(const std::string& from, const std::string& to) override {
        beforeWrite();
        return base_->renameNew(from, to);
    }
    bool fileExists(const std::string& path) override { return base_->fileExists(path); }
    storage::Status removeFile(const std::string& path) override { return base_->removeFile(path); }
    std::string resolvePath(const std::string& path) override { return base_->resolvePath(path); }
    storage::Status freeSpace(const std::string& path, uint64_t* bytes) override {
        return base_->freeSpace(path, bytes);
    }
    bool isDirectory(const std::string& path) override { return base_->isDirectory(path); }
    storage::Status listFiles(const std::string& dir, std::vector<std::string>* names) override {
        return base_->listFiles(dir, names);
    }
    void sleepBetweenAttempts() override { base_->sleepBetweenAttempts(); }
    std::vector<std::string> arguments(int argc, char** argv) override {
        return base_->arguments(argc, argv);
    }

  private:
    class FaultFile : public storage::File {
      public:
        FaultFile(FaultEnv* env, std::unique_ptr<storage::File> base)
            : env_(env), base_(std::move(base)) {}
        storage::Status read(uint64_t offset, void* buffer, size_t n, size_t* got) override {
            return base_->read(offset, buffer, n, got);
        }
        storage::Status write(uint64_t offset, const void* data, size_t n) override {
            env_->beforeWrite();
            return base_->write(offset, data, n);
        }
        storage::Status size(uint64_t* size) override { return base_->size(size); }
        storage::Status stat(storage::FileStamp* stamp) override { return base_->stat(stamp); }
        storage::Status truncate(uint64_t size) override {
            env_->beforeWrite();
            return base_->truncate(size);
        }
        storage::Status sync() override { return base_->sync(); }
        bool tryLock(uint64_t offset, uint64_t length) override {
            return base_->tryLock(offset, length);
        }
        void unlock(uint64_t offset, uint64_t length) override { base_->unlock(offset, length); }
        const std::string& path() const override { return base_->path(); }

      private:
        FaultEnv* env_;
        std::unique_ptr<storage::File> base_;
    };

    void beforeWrite() {
        if (++writes_ == killAt_) {
            std::fflush(stdout);
            ::kill(::getpid(), SIGKILL);
        }
    }

    storage::Env* base_;
    long killAt_;
    long writes_ = 0;
};

}  // namespace helper_tables
