#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "status.h"

namespace storage {

// A file's size and the stamp of the last change of its contents (the modification time in
// nanoseconds, as finely as the file system keeps it), at one look. Equal stamps of a file mean
// that its contents did not change between the looks, as far as the file system can tell.
struct FileStamp {
    uint64_t size = 0;
    uint64_t modified = 0;  // 0: the system keeps none
    bool known() const { return modified != 0; }
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// An open file. Locks are exclusive byte-range locks that belong to this open file (not to the
// process): two File objects on one path hold separate locks, and closing one releases only its
// own. Ranges past the end of the file are allowed.
class File {
  public:
    virtual ~File() = default;

    // Reads up to n bytes at offset; *got receives the count (less than n only at end of file).
    virtual Status read(uint64_t offset, void* buffer, size_t n, size_t* got) = 0;
    virtual Status write(uint64_t offset, const void* data, size_t n) = 0;
    virtual Status size(uint64_t* size) = 0;
    // The size and the modification stamp, from one look at the file. The default knows no
    // stamp.
    virtual Status stat(FileStamp* stamp) {
        stamp->modified = 0;
        return size(&stamp->size);
    }
    virtual Status truncate(uint64_t size) = 0;
    virtual Status sync() = 0;

    // One attempt; false when another open file holds an overlapping lock.
    virtual bool tryLock(uint64_t offset, uint64_t length) = 0;
    virtual void unlock(uint64_t offset, uint64_t length) = 0;

    virtual const std::string& path() const = 0;
};

enum class Access { ReadWrite, ReadOnly };
enum class Share { Shared, Exclusive };

// The operating-system services of the file layer. Paths name files whatever their letter case:
// an existing file is found by a case-blind comparison of names in its directory.
class Env {
  public:
    virtual ~Env() = default;

    // The process-wide environment: System() unless a test or benchmark put another in its
    // place with setDefault (to watch or fault every file the process opens).
    static Env* Default();
    // The environment over the real file system.
    static Env* System();
    // Makes `env` (not owned; null: System()) what Default() returns from now on, and returns
    // the one before. Components created before keep the one they were given.
    static Env* setDefault(Env* env);

    // Opens an existing file. A file opened Exclusive cannot be opened by anyone else while it is
    // open, and cannot be opened Exclusive while others have it open (code 32).
    virtual Status openFile(const std::string& path, Access access, Share share,
                            std::unique_ptr<File>* file) = 0;
    // Creates (or truncates) a file for reading and writing, under the name as given unless a
    // file of that name in another letter case exists, which is then reused.
    virtual Status createFile(const std::string& path, std::unique_ptr<File>* file) = 0;
    // Creates a new, empty file for reading and writing; code 80 when a file of that name (in
    // any letter case) exists. Of several processes creating one name at once, one succeeds.
    virtual Status createNewFile(const std::string& path, std::unique_ptr<File>* file) = 0;
    // Gives the closed file `from` the name `to` in one step, unless a file named `to` (in any
    // letter case) exists: then code 80 and `from` is left as it is. Both lie in one directory.
    virtual Status renameNew(const std::string& from, const std::string& to) = 0;
    virtual bool fileExists(const std::string& path) = 0;
    virtual Status removeFile(const std::string& path) = 0;
    // The path of the existing file that `path` names, in its stored letter case; `path` itself
    // when no such file exists.
    virtual std::string resolvePath(const std::string& path) = 0;
    // Bytes free for writing on the drive that holds `path`.
    virtual Status freeSpace(const std::string& path, uint64_t* bytes) = 0;
    // Whether `path` names an existing directory.
    virtual bool isDirectory(const std::string& path) = 0;
    // The names (without the directory) of the regular files directly inside directory `dir`, in
    // no particular order; code 3 when the directory cannot be read.
    virtual Status listFiles(const std::string& dir, std::vector<std::string>* names) = 0;
    // A short pause between lock attempts.
    virtual void sleepBetweenAttempts() = 0;
    // The program's command-line arguments, the program's name first, in UTF-8 like every text
    // of this layer (Windows hands `argv` over in the ANSI code page).
    virtual std::vector<std::string> arguments(int argc, char** argv) = 0;
};

}  // namespace storage
