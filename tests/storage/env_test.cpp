// The system's Env (POSIX or Windows): case-blind names, locks that belong to the open file,
// share modes, directory listing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "child_process.h"
#include "storage/file.h"
#include "storage/mem_env.h"

using namespace storage;

class PosixEnvTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = (std::filesystem::temp_directory_path() /
               ("env_test_" + std::to_string(test_support::ChildProcess::currentProcessId())))
                  .string();
        std::filesystem::remove_all(dir);
        ASSERT_TRUE(std::filesystem::create_directories(dir));
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    void writeFile(const std::string& name, const std::string& bytes) {
        std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
    }
    std::unique_ptr<File> open(const std::string& name, Share share = Share::Shared) {
        std::unique_ptr<File> file;
        const Status s = env->openFile(dir + "/" + name, Access::ReadWrite, share, &file);
        EXPECT_TRUE(s.ok()) << s.message();
        return file;
    }

    Env* env = Env::Default();
    std::string dir;
};

TEST_F(PosixEnvTest, NamesAreFoundWhateverTheirCase) {
    writeFile("F_Vehicals.dbf", "abc");
    EXPECT_TRUE(env->fileExists(dir + "/f_vehicals.DBF"));
    EXPECT_EQ(env->resolvePath(dir + "/F_VEHICALS.DBF"), dir + "/F_Vehicals.dbf");
    EXPECT_EQ(env->resolvePath(dir + "/missing.dbf"), dir + "/missing.dbf");
    auto file = open("f_vehicals.dbf");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->path(), dir + "/F_Vehicals.dbf");

    // Creating reuses the existing variant; a new name is created as given.
    std::unique_ptr<File> created;
    ASSERT_TRUE(env->createFile(dir + "/F_VEHICALS.dbf", &created).ok());
    EXPECT_EQ(created->path(), dir + "/F_Vehicals.dbf");
    ASSERT_TRUE(env->createFile(dir + "/New.DBF", &created).ok());
    EXPECT_TRUE(std::filesystem::exists(dir + "/New.DBF"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                            std::filesystem::directory_iterator()),
              2);

    // A file still open is gone from its folder at once, and its name can be used again.
    EXPECT_TRUE(env->removeFile(dir + "/NEW.dbf").ok());
    EXPECT_FALSE(env->fileExists(dir + "/New.DBF"));
    std::vector<std::string> names;
    ASSERT_TRUE(env->listFiles(dir, &names).ok());
    // (Where the system cannot delete at once, the file waits under another name until closed.)
    EXPECT_EQ(std::count(names.begin(), names.end(), "New.DBF"), 0);
    std::unique_ptr<File> again;
    ASSERT_TRUE(env->createFile(dir + "/New.dbf", &again).ok());
    ASSERT_TRUE(created->write(0, "old", 3).ok());
    uint64_t size = 9;
    ASSERT_TRUE(again->size(&size).ok());
    EXPECT_EQ(size, 0u);
    std::unique_ptr<File> missing;
    EXPECT_EQ(env->openFile(dir + "/none.dbf", Access::ReadOnly, Share::Shared, &missing).code(),
              2);
}

TEST_F(PosixEnvTest, LocksBelongToTheOpenFileNotTheProcess) {
    writeFile("t.dbf", "data");
    auto first = open("t.dbf");
    auto second = open("T.DBF");
    // Ranges far past the end of the file, as the table locks are.
    ASSERT_TRUE(first->tryLock(0x40000000 + 100, 50));
    EXPECT_FALSE(second->tryLock(0x40000000 + 120, 1));
    EXPECT_TRUE(second->tryLock(0x40000000 + 150, 1));
    EXPECT_TRUE(first->tryLock(0x40000000 + 100, 50));  // its own lock again
    first->unlock(0x40000000 + 100, 50);
    EXPECT_TRUE(second->tryLock(0x40000000 + 120, 1));
    EXPECT_FALSE(first->tryLock(0x40000000 + 120, 1));
    second.reset();  // closing releases only that file's locks
    EXPECT_TRUE(first->tryLock(0x40000000 + 120, 1));
}

TEST_F(PosixEnvTest, ExclusiveOpensShutOutEveryOtherOpen) {
    writeFile("t.dbf", "data");
    {
        auto shared = open("t.dbf");
        auto alsoShared = open("t.dbf");
        std::unique_ptr<File> exclusive;
        EXPECT_EQ(
            env->openFile(dir + "/t.dbf", Access::ReadWrite, Share::Exclusive, &exclusive).code(),
            32);
    }
    auto exclusive = open("t.dbf", Share::Exclusive);
    std::unique_ptr<File> other;
    EXPECT_EQ(env->openFile(dir + "/t.dbf", Access::ReadOnly, Share::Shared, &other).code(), 32);
    EXPECT_EQ(env->openFile(dir + "/t.dbf", Access::ReadOnly, Share::Exclusive, &other).code(), 32);
}

TEST_F(PosixEnvTest, ListsTheFilesOfADirectoryButNotItsFolders) {
    writeFile("General.DBF", "a");
    writeFile("family.dbf", "b");
    writeFile("Family.MDX", "c");
    std::filesystem::create_directories(dir + "/Backup.dbf");
    writeFile("Backup.dbf/Old.dbf", "d");

    EXPECT_TRUE(env->isDirectory(dir));
    EXPECT_TRUE(env->isDirectory(dir + "/Backup.dbf"));
    EXPECT_FALSE(env->isDirectory(dir + "/General.DBF"));
    EXPECT_FALSE(env->isDirectory(dir + "/none"));
    EXPECT_FALSE(env->fileExists(dir + "/Backup.dbf"));

    std::vector<std::string> names = {"left over"};
    ASSERT_TRUE(env->listFiles(dir, &names).ok());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Family.MDX", "General.DBF", "family.dbf"}));
    ASSERT_TRUE(env->listFiles(dir + "/Backup.dbf/", &names).ok());
    EXPECT_EQ(names, (std::vector<std::string>{"Old.dbf"}));
    EXPECT_EQ(env->listFiles(dir + "/none", &names).code(), 3);

    uint64_t free = 0;
    ASSERT_TRUE(env->freeSpace(dir + "/General.DBF", &free).ok());
    EXPECT_GT(free, 0u);
    ASSERT_TRUE(env->freeSpace(dir + "/NotYet.dbt", &free).ok());
    EXPECT_GT(free, 0u);
}

TEST(MemEnvTest, DirectoriesAreTheFoldersOfItsFiles) {
    MemEnv env;
    env.setContents("/data/General.dbf", "a");
    env.setContents("/data/Family.DBF", "b");
    env.setContents("/data/old/Expenses.dbf", "c");
    EXPECT_TRUE(env.isDirectory("/data"));
    EXPECT_TRUE(env.isDirectory("/data/old/"));
    EXPECT_FALSE(env.isDirectory("/data/General.dbf"));
    EXPECT_FALSE(env.isDirectory("/dat"));

    std::vector<std::string> names;
    ASSERT_TRUE(env.listFiles("/data/", &names).ok());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Family.DBF", "General.dbf"}));
    EXPECT_EQ(env.listFiles("/elsewhere", &names).code(), 3);
}
