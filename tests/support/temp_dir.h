#pragma once
// A directory of the system's temporary directory for one test, named after the test and this
// process (so that test programs run at once do not meet), emptied when made and removed after.
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace test_support {

class TempDir {
  public:
    explicit TempDir(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                (name + "-" + std::to_string(processId()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    // The path of `name` (which may hold subdirectories) in the directory.
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    static long processId() {
#ifdef _WIN32
        return ::_getpid();
#else
        return ::getpid();
#endif
    }

    std::filesystem::path path_;
};

// Copies the files of directory `from` into a new directory `to` with their modification times,
// as a restored backup has them: so that runs on copies made at different moments behave alike
// (the production index records the table file's time).
inline void copyKeepingTimes(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::filesystem::copy(from, to);
    for (const auto& entry : std::filesystem::directory_iterator(from))
        std::filesystem::last_write_time(to / entry.path().filename(),
                                         std::filesystem::last_write_time(entry.path()));
}

}  // namespace test_support
