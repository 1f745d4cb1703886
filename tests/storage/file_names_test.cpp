// The names of the files beside a table, from paths written with either separator (Windows
// drive and UNC paths included), and the memo header naming its table whatever the separator.
#include "storage/file_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "child_process.h"
#include "storage/dbf_file.h"
#include "storage/mem_env.h"

using namespace storage;

namespace {

struct NameCase {
    const char* path;
    const char* directory;
    const char* fileName;
    const char* baseName;
    bool extension;
    const char* memo;
    const char* index;
    const char* semaphore;
};

const NameCase kCases[] = {
    {"/data/Family.dbf", "/data/", "Family.dbf", "Family", true, "/data/Family.dbt",
     "/data/Family.MDX", "/data/Family.@S@"},
    {"C:\\data3005\\Family.DBF", "C:\\data3005\\", "Family.DBF", "Family", true,
     "C:\\data3005\\Family.DBT", "C:\\data3005\\Family.MDX", "C:\\data3005\\Family.@S@"},
    {"\\\\server\\share\\data 3005\\A_CashAcc_Cash.dbf", "\\\\server\\share\\data 3005\\",
     "A_CashAcc_Cash.dbf", "A_CashAcc_Cash", true,
     "\\\\server\\share\\data 3005\\A_CashAcc_Cash.dbt",
     "\\\\server\\share\\data 3005\\A_CashAcc_Cash.MDX",
     "\\\\server\\share\\data 3005\\A_CashAcc_Cash.@S@"},
    // A point in a directory's name is no extension.
    {"C:\\old.data\\Family", "C:\\old.data\\", "Family", "Family", false,
     "C:\\old.data\\Family.dbt", "C:\\old.data\\Family.MDX", "C:\\old.data\\Family.@S@"},
    {"/srv/old.data/Income", "/srv/old.data/", "Income", "Income", false,
     "/srv/old.data/Income.dbt", "/srv/old.data/Income.MDX", "/srv/old.data/Income.@S@"},
    // Both separators in one path: the last of either ends the directory.
    {"Z:/shared\\notes.Dbf", "Z:/shared\\", "notes.Dbf", "notes", true, "Z:/shared\\notes.DBT",
     "Z:/shared\\notes.MDX", "Z:/shared\\notes.@S@"},
    {"..\\up\\General.dbf", "..\\up\\", "General.dbf", "General", true, "..\\up\\General.dbt",
     "..\\up\\General.MDX", "..\\up\\General.@S@"},
    {"Family", "", "Family", "Family", false, "Family.dbt", "Family.MDX", "Family.@S@"},
    {"Family.", "", "Family.", "Family", true, "Family.dbt", "Family.MDX", "Family.@S@"},
};

}  // namespace

TEST(FileNames, EachPartAndEachFileBesideATable) {
    for (const NameCase& c : kCases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(directoryOf(c.path), c.directory);
        EXPECT_EQ(fileNameOf(c.path), c.fileName);
        EXPECT_EQ(baseNameOf(c.path), c.baseName);
        EXPECT_EQ(hasExtension(c.path), c.extension);
        EXPECT_EQ(memoPathFor(c.path), c.memo);
        EXPECT_EQ(indexPathFor(c.path), c.index);
        EXPECT_EQ(semaphorePathFor(c.path), c.semaphore);
    }
}

TEST(FileNames, OneTagIndexGoesBesideTheTableUnlessNamedWithADirectory) {
    EXPECT_EQ(oneTagIndexPathFor("C:\\data3005\\Expenses.dbf", "Temp"), "C:\\data3005\\Temp.MDX");
    EXPECT_EQ(oneTagIndexPathFor("\\\\srv\\share\\Expenses.dbf", "Temp.idx"),
              "\\\\srv\\share\\Temp.MDX");
    EXPECT_EQ(oneTagIndexPathFor("/data/Expenses.dbf", "C:\\other\\Temp"), "C:\\other\\Temp.MDX");
    EXPECT_EQ(oneTagIndexPathFor("Expenses.dbf", "Temp"), "Temp.MDX");
}

TEST(FileNames, ScratchNamesStayInTheTablesDirectoryAndDiffer) {
    for (const char* path : {"C:\\data3005\\Family.dbf", "\\\\srv\\share\\Family.dbf",
                             "/data/Family.dbf", "Family.dbf"}) {
        SCOPED_TRACE(path);
        const std::string first = scratchPathNear(path, 0);
        const std::string second = scratchPathNear(path, 1);
        EXPECT_EQ(directoryOf(first), directoryOf(path));
        EXPECT_EQ(fileNameOf(first).substr(0, 4), "~new");
        EXPECT_EQ(first.substr(first.size() - 4), ".tmp");
        EXPECT_NE(first, second);
    }
}

// The memo header's bytes 8 to 15 hold the table's name (up to eight characters): a path written
// with backslashes must not give the directory's first characters instead.
TEST(FileNames, MemoHeaderNamesItsTableWhateverTheSeparator) {
    const FieldDescriptor fields[] = {{"MATTER", 'C', 50, 0, 0}, {"NOTES", 'M', 10, 0, 0}};
    for (const char* path :
         {"C:\\data3005\\Family.dbf", "\\\\server\\share\\Expenses.dbf", "/data/retirement.dbf"}) {
        SCOPED_TRACE(path);
        MemEnv env;
        ASSERT_TRUE(DbfFile::create(&env, path, {std::begin(fields), std::end(fields)}).ok());
        const std::string header = env.contents(memoPathFor(path)).substr(8, 8);
        const std::string name = baseNameOf(path).substr(0, 8);
        EXPECT_EQ(header, name + std::string(8 - name.size(), '\0'));
    }
}

// The same through the system's files, in the system's own separators (backslashes on Windows:
// the Windows build runs this under Wine).
TEST(FileNames, MemoHeaderOfARealTableNamesIt) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("file_names_test_" + std::to_string(test_support::ChildProcess::currentProcessId()));
    std::filesystem::remove_all(dir);
    ASSERT_TRUE(std::filesystem::create_directories(dir));
    const std::string path = (dir / "Family.dbf").string();
    const FieldDescriptor fields[] = {{"MATTER", 'C', 50, 0, 0}, {"NOTES", 'M', 10, 0, 0}};
    ASSERT_TRUE(DbfFile::create(Env::Default(), path, {std::begin(fields), std::end(fields)}).ok());
    std::ifstream memo(dir / "Family.dbt", std::ios::binary);
    std::string header(24, '\0');
    memo.read(header.data(), 24);
    EXPECT_EQ(header.substr(8, 8), std::string("Family\0\0", 8));
    memo.close();
    std::filesystem::remove_all(dir);
}
