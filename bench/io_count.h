#pragma once

// An Env that passes everything to another one and counts what crosses to the files: the bytes
// and calls of reads, and the other calls that go to the file server (opens, sizes, locks,
// writes). Installed as Env::Default(), it sees every file of the data directory the program
// opens; the program's own files (report project, fonts) are read by Qt and are not counted.

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "storage/file.h"

namespace bench_io {

struct Counts {
    uint64_t readBytes = 0;
    uint64_t reads = 0;
    uint64_t writeBytes = 0;
    uint64_t writes = 0;
    uint64_t others = 0;  // opens, sizes, locks, existence checks

    uint64_t calls() const { return reads + writes + others; }
    Counts operator-(const Counts& b) const {
        return {readBytes - b.readBytes, reads - b.reads, writeBytes - b.writeBytes,
                writes - b.writes, others - b.others};
    }
    Counts operator+(const Counts& b) const {
        return {readBytes + b.readBytes, reads + b.reads, writeBytes + b.writeBytes,
                writes + b.writes, others + b.others};
    }
};

class CountingEnv : public storage::Env {
  public:
    explicit CountingEnv(storage::Env* base) : base_(base) {}

    Counts total() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return total_;
    }
    // Bytes read per file extension ("dbf", "mdx", "dbt", ...), for finding where reads go.
    std::map<std::string, uint64_t> readBytesByExtension() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return byExtension_;
    }

    storage::Status openFile(const std::string& path, storage::Access access, storage::Share share,
                             std::unique_ptr<storage::File>* file) override {
        other();
        storage::Status s = base_->openFile(path, access, share, file);
        if (s.ok()) *file = std::make_unique<CountingFile>(this, std::move(*file));
        return s;
    }
    storage::Status createFile(const std::string& path,
                               std::unique_ptr<storage::File>* file) override {
        other();
        storage::Status s = base_->createFile(path, file);
        if (s.ok()) *file = std::make_unique<CountingFile>(this, std::move(*file));
        return s;
    }
    storage::Status createNewFile(const std::string& path,
                                  std::unique_ptr<storage::File>* file) override {
        other();
        storage::Status s = base_->createNewFile(path, file);
        if (s.ok()) *file = std::make_unique<CountingFile>(this, std::move(*file));
        return s;
    }
    storage::Status renameNew(const std::string& from, const std::string& to) override {
        other();
        return base_->renameNew(from, to);
    }
    bool fileExists(const std::string& path) override {
        other();
        return base_->fileExists(path);
    }
    storage::Status removeFile(const std::string& path) override {
        other();
        return base_->removeFile(path);
    }
    std::string resolvePath(const std::string& path) override { return base_->resolvePath(path); }
    storage::Status freeSpace(const std::string& path, uint64_t* bytes) override {
        other();
        return base_->freeSpace(path, bytes);
    }
    bool isDirectory(const std::string& path) override { return base_->isDirectory(path); }
    storage::Status listFiles(const std::string& dir, std::vector<std::string>* names) override {
        other();
        return base_->listFiles(dir, names);
    }
    void sleepBetweenAttempts() override { base_->sleepBetweenAttempts(); }
    std::vector<std::string> arguments(int argc, char** argv) override {
        return base_->arguments(argc, argv);
    }

  private:
    class CountingFile : public storage::File {
      public:
        CountingFile(CountingEnv* env, std::unique_ptr<storage::File> base)
            : env_(env), base_(std::move(base)), extension_(extensionOf(base_->path())) {}
        storage::Status read(uint64_t offset, void* buffer, size_t n, size_t* got) override {
            storage::Status s = base_->read(offset, buffer, n, got);
            env_->counted(extension_, s.ok() ? *got : 0);
            return s;
        }
        storage::Status write(uint64_t offset, const void* data, size_t n) override {
            env_->written(n);
            return base_->write(offset, data, n);
        }
        storage::Status size(uint64_t* size) override {
            env_->other();
            return base_->size(size);
        }
        storage::Status stat(storage::FileStamp* stamp) override {
            env_->other();
            return base_->stat(stamp);
        }
        storage::Status truncate(uint64_t size) override {
            env_->other();
            return base_->truncate(size);
        }
        storage::Status sync() override { return base_->sync(); }
        bool tryLock(uint64_t offset, uint64_t length) override {
            env_->other();
            return base_->tryLock(offset, length);
        }
        void unlock(uint64_t offset, uint64_t length) override {
            env_->other();
            base_->unlock(offset, length);
        }
        const std::string& path() const override { return base_->path(); }

      private:
        static std::string extensionOf(const std::string& path) {
            const size_t dot = path.find_last_of('.');
            std::string extension = dot == std::string::npos ? "" : path.substr(dot + 1);
            for (char& c : extension)
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            return extension;
        }

        CountingEnv* env_;
        std::unique_ptr<storage::File> base_;
        std::string extension_;
    };

    void counted(const std::string& extension, size_t bytes) {
        std::lock_guard<std::mutex> lock(mutex_);
        total_.readBytes += bytes;
        ++total_.reads;
        byExtension_[extension] += bytes;
    }
    void written(size_t bytes) {
        std::lock_guard<std::mutex> lock(mutex_);
        total_.writeBytes += bytes;
        ++total_.writes;
    }
    void other() {
        std::lock_guard<std::mutex> lock(mutex_);
        ++total_.others;
    }

    storage::Env* base_;
    mutable std::mutex mutex_;
    Counts total_;
    std::map<std::string, uint64_t> byExtension_;
};

}  // namespace bench_io
