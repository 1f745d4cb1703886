#include "mem_env.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace storage {

struct MemEnv::Data {
    std::string name;  // as created
    std::string bytes;
    uint64_t modified = 0;  // the env's change count at the last change of `bytes`
    struct Lock {
        const void* owner;
        uint64_t offset;
        uint64_t length;
    };
    std::vector<Lock> locks;
    int sharedOpens = 0;
    bool exclusive = false;
};

class MemEnv::MemFile : public File {
  public:
    MemFile(MemEnv* env, std::shared_ptr<Data> data, bool writable, Share share, bool counted)
        : env_(env),
          data_(std::move(data)),
          writable_(writable),
          share_(share),
          counted_(counted) {}

    ~MemFile() override {
        std::lock_guard<std::mutex> lock(env_->mutex_);
        auto& locks = data_->locks;
        locks.erase(std::remove_if(locks.begin(), locks.end(),
                                   [this](const Data::Lock& l) { return l.owner == this; }),
                    locks.end());
        if (!counted_) return;
        if (share_ == Share::Exclusive)
            data_->exclusive = false;
        else
            --data_->sharedOpens;
    }

    Status read(uint64_t offset, void* buffer, size_t n, size_t* got) override {
        std::lock_guard<std::mutex> lock(env_->mutex_);
        const std::string& bytes = data_->bytes;
        size_t count = 0;
        if (offset < bytes.size()) count = std::min<uint64_t>(n, bytes.size() - offset);
        if (count > 0) std::memcpy(buffer, bytes.data() + offset, count);
        *got = count;
        return Status::OK();
    }

    Status write(uint64_t offset, const void* data, size_t n) override {
        std::lock_guard<std::mutex> lock(env_->mutex_);
        if (!writable_) return Status::Error(kAccessDenied, data_->name + " [write]");
        if (offset + n > env_->maxFileSize_)
            return Status::Error(kWriteFailed, data_->name + " [write]: File too large");
        std::string& bytes = data_->bytes;
        const size_t allowed = env_->allowWrite(offset, n, bytes.size());
        if (allowed > 0) {
            if (bytes.size() < offset + allowed) bytes.resize(offset + allowed, '\0');
            std::memcpy(bytes.data() + offset, data, allowed);
            data_->modified = ++env_->changes_;
        }
        if (allowed < n)
            return Status::Error(kWriteFailed, data_->name + " [write]: No space left on device");
        return Status::OK();
    }

    Status size(uint64_t* size) override {
        std::lock_guard<std::mutex> lock(env_->mutex_);
        *size = data_->bytes.size();
        return Status::OK();
    }

    Status stat(FileStamp* stamp) override {
        std::lock_guard<std::mutex> lock(env_->mutex_);
        stamp->size = data_->bytes.size();
        stamp->modified = data_->modified;
        return Status::OK();
    }

    Status truncate(uint64_t size) override {
        std::lock_guard<std::mutex> lock(env_->mutex_);
        if (!writable_) return Status::Error(kAccessDenied, data_->name + " [truncate]");
        if (size > env_->maxFileSize_)
            return Status::Error(kWriteFailed, data_->name + " [truncate]");
        data_->bytes.resize(size, '\0');
        data_->modified = ++env_->changes_;
        return Status::OK();
    }

    Status sync() override { return Status::OK(); }

    bool tryLock(uint64_t offset, uint64_t length) override {
        std::lock_guard<std::mutex> lock(env_->mutex_);
        for (const auto& held : data_->locks) {
            const bool overlaps =
                offset < held.offset + held.length && held.offset < offset + length;
            if (overlaps && held.owner != this) return false;
        }
        data_->locks.push_back({this, offset, length});
        return true;
    }

    void unlock(uint64_t offset, uint64_t length) override {
        std::lock_guard<std::mutex> lock(env_->mutex_);
        auto& locks = data_->locks;
        locks.erase(std::remove_if(locks.begin(), locks.end(),
                                   [&](const Data::Lock& l) {
                                       return l.owner == this && l.offset >= offset &&
                                              l.offset + l.length <= offset + length;
                                   }),
                    locks.end());
    }

    const std::string& path() const override { return data_->name; }

  private:
    MemEnv* env_;
    std::shared_ptr<Data> data_;
    bool writable_;
    Share share_;
    bool counted_;  // takes part in share-mode bookkeeping
};

MemEnv::MemEnv() = default;
MemEnv::~MemEnv() = default;

std::string MemEnv::keyFor(const std::string& path) const {
    std::string key = path;
    const size_t slash = key.find_last_of('/');
    for (size_t i = slash == std::string::npos ? 0 : slash + 1; i < key.size(); ++i) {
        if (key[i] >= 'A' && key[i] <= 'Z') key[i] = static_cast<char>(key[i] - 'A' + 'a');
    }
    return key;
}

size_t MemEnv::allowWrite(uint64_t offset, size_t n, uint64_t size) {
    if (writeBudget_ < 0) return n;
    // Bytes within the file's present size, when only growth counts.
    const uint64_t free =
        onlyGrowthCounts_ && offset < size ? std::min<uint64_t>(n, size - offset) : 0;
    const size_t allowed = free + std::min<uint64_t>(n - free, static_cast<uint64_t>(writeBudget_));
    writeBudget_ -= static_cast<int64_t>(allowed - free);
    return allowed;
}

Status MemEnv::openFile(const std::string& path, Access access, Share share,
                        std::unique_ptr<File>* file) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = files_.find(keyFor(path));
    if (it == files_.end()) return Status::Error(kFileNotFound, path + " [open]");
    Data& data = *it->second;
    if (data.exclusive || (share == Share::Exclusive && data.sharedOpens > 0))
        return Status::Error(kSharingViolation, data.name + " [open]");
    if (share == Share::Exclusive)
        data.exclusive = true;
    else
        ++data.sharedOpens;
    *file = std::make_unique<MemFile>(this, it->second, access == Access::ReadWrite, share, true);
    return Status::OK();
}

Status MemEnv::createFile(const std::string& path, std::unique_ptr<File>* file) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& slot = files_[keyFor(path)];
    if (!slot) {
        slot = std::make_shared<Data>();
        slot->name = path;
    }
    slot->bytes.clear();
    slot->modified = ++changes_;
    *file = std::make_unique<MemFile>(this, slot, true, Share::Shared, false);
    return Status::OK();
}

void MemEnv::beforeNextCreate(std::function<void(const std::string&)> hook) {
    std::lock_guard<std::mutex> lock(mutex_);
    beforeCreate_ = std::move(hook);
}

void MemEnv::runCreateHook(const std::string& path) {
    std::function<void(const std::string&)> hook;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        hook.swap(beforeCreate_);
    }
    if (hook) hook(path);
}

Status MemEnv::createNewFile(const std::string& path, std::unique_ptr<File>* file) {
    runCreateHook(path);
    std::lock_guard<std::mutex> lock(mutex_);
    auto& slot = files_[keyFor(path)];
    if (slot) return Status::Error(kFileExists, path + " [create]: File exists");
    slot = std::make_shared<Data>();
    slot->name = path;
    slot->modified = ++changes_;
    *file = std::make_unique<MemFile>(this, slot, true, Share::Shared, false);
    return Status::OK();
}

Status MemEnv::renameNew(const std::string& from, const std::string& to) {
    runCreateHook(to);
    std::lock_guard<std::mutex> lock(mutex_);
    auto source = files_.find(keyFor(from));
    if (source == files_.end()) return Status::Error(kFileNotFound, from + " [rename]");
    if (files_.count(keyFor(to)) != 0)
        return Status::Error(kFileExists, to + " [rename]: File exists");
    std::shared_ptr<Data> data = source->second;
    files_.erase(source);
    data->name = to;
    files_[keyFor(to)] = std::move(data);
    return Status::OK();
}

bool MemEnv::fileExists(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    return files_.count(keyFor(path)) != 0;
}

Status MemEnv::removeFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (files_.erase(keyFor(path)) == 0) return Status::Error(kFileNotFound, path + " [remove]");
    return Status::OK();
}

std::string MemEnv::resolvePath(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = files_.find(keyFor(path));
    return it == files_.end() ? path : it->second->name;
}

Status MemEnv::freeSpace(const std::string&, uint64_t* bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    *bytes = freeSpace_;
    return Status::OK();
}

bool MemEnv::isDirectory(const std::string& path) {
    std::vector<std::string> names;
    return listFiles(path, &names).ok();
}

Status MemEnv::listFiles(const std::string& dir, std::vector<std::string>* names) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::string prefix = !dir.empty() && dir.back() == '/' ? dir : dir + "/";
    names->clear();
    bool found = false;
    for (const auto& [key, data] : files_) {
        if (key.compare(0, prefix.size(), prefix) != 0) continue;
        found = true;  // a file in it or below it
        if (key.find('/', prefix.size()) == std::string::npos)
            names->push_back(data->name.substr(prefix.size()));
    }
    if (!found) return Status::Error(kPathNotFound, dir + " [list]");
    return Status::OK();
}

std::vector<std::string> MemEnv::arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void MemEnv::sleepBetweenAttempts() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++sleeps_;
}

std::string MemEnv::contents(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = files_.find(keyFor(path));
    return it == files_.end() ? std::string() : it->second->bytes;
}

void MemEnv::setContents(const std::string& path, std::string bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& slot = files_[keyFor(path)];
    if (!slot) {
        slot = std::make_shared<Data>();
        slot->name = path;
    }
    slot->bytes = std::move(bytes);
    slot->modified = ++changes_;
}

void MemEnv::failWritesAfter(int64_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    writeBudget_ = bytes;
    onlyGrowthCounts_ = false;
}

void MemEnv::failGrowthAfter(int64_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    writeBudget_ = bytes;
    onlyGrowthCounts_ = true;
}

void MemEnv::setFreeSpace(uint64_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    freeSpace_ = bytes;
}

void MemEnv::setMaxFileSize(uint64_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    maxFileSize_ = bytes;
}

int MemEnv::sleeps() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sleeps_;
}

}  // namespace storage
