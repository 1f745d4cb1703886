#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace platform {
namespace {

class IniFileTest : public ::testing::Test {
  protected:
    QString path(const QString& name = QStringLiteral("tallo.ini")) const {
        return dir_.filePath(name);
    }
    void writeFile(const QByteArray& bytes) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    std::string readFile() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }

    QTemporaryDir dir_;
};

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheFallback) {
    EXPECT_EQ(readIniString(path(), "Database3", "Path", "none"), "none");
    writeFile("[Other]\nPath=x\n[Database3]\nName=y\n");
    EXPECT_EQ(readIniString(path(), "Database3", "Path", "none"), "none");
    EXPECT_EQ(readIniString(path(), "Missing", "Name"), "");
}

// A new file ends its lines as text files of the platform do (Notepad of older Windows shows a
// file with "\n" alone as one line).
TEST_F(IniFileTest, WriteCreatesAMissingFileThatReadsBack) {
    ASSERT_TRUE(writeIniString(path(), "Database3", "Path", "/data/nw/"));
#ifdef Q_OS_WIN
    EXPECT_EQ(readFile(), "[Database3]\r\nPath=/data/nw/\r\n");
#else
    EXPECT_EQ(readFile(), "[Database3]\nPath=/data/nw/\n");
#endif
    EXPECT_EQ(readIniString(path(), "Database3", "Path"), "/data/nw/");
}

TEST_F(IniFileTest, ReplacingAKeyKeepsEveryOtherLineByteForByte) {
    const QByteArray before =
        "; settings of the office\r\n"
        "[Printer]\r\n"
        "Name = Front desk\r\n"
        "\r\n"
        "[DATABASE3]\r\n"
        "; Path=commented out\r\n"
        "  path =  C:\\old\\  \r\n"
        "Extra=1\r\n"
        "[Last]\r\n"
        "Key=v";
    writeFile(before);
    ASSERT_TRUE(writeIniString(path(), "Database3", "Path", "D:\\new\\"));
    QByteArray expected = before;
    expected.replace("  path =  C:\\old\\  ", "Path=D:\\new\\");
    EXPECT_EQ(readFile(), expected.toStdString());
    EXPECT_EQ(readIniString(path(), "database3", "PATH"), "D:\\new\\");
    EXPECT_EQ(readIniString(path(), "Printer", "Name"), "Front desk");
}

TEST_F(IniFileTest, AMissingKeyJoinsItsSectionAndAMissingSectionGoesLast) {
    writeFile("[Database3]\nOther=1\n\n[Next]\nA=2");
    ASSERT_TRUE(writeIniString(path(), "Database3", "Path", "p1"));
    EXPECT_EQ(readFile(), "[Database3]\nOther=1\nPath=p1\n\n[Next]\nA=2");
    ASSERT_TRUE(writeIniString(path(), "New", "Key", "v"));
    EXPECT_EQ(readFile(), "[Database3]\nOther=1\nPath=p1\n\n[Next]\nA=2\n[New]\nKey=v\n");
}

TEST_F(IniFileTest, ReadsTrimBlanksAndQuotesAndUseTheFirstMatch) {
    writeFile(
        "\xEF\xBB\xBF[ Database3 ]\nPath = \"/a b/\" \nPath=second\n[Database3]\nPath=third\n");
    EXPECT_EQ(readIniString(path(), "Database3", "Path"), "/a b/");
}

TEST_F(IniFileTest, LongValuesRoundTripUpTo2047Characters) {
    const QString longest(kMaxIniValueLength, QChar('x'));
    ASSERT_TRUE(writeIniString(path(), "Database3", "Path", longest));
    EXPECT_EQ(readIniString(path(), "Database3", "Path"), longest);

    const QString tooLong = QString(kMaxIniValueLength, QChar('a')) + "tail";
    ASSERT_TRUE(writeIniString(path(), "Database3", "Path", tooLong));
    EXPECT_NE(readFile().find(tooLong.toStdString()), std::string::npos);  // stored whole, read cut
    EXPECT_EQ(readIniString(path(), "Database3", "Path"), tooLong.left(kMaxIniValueLength));
}

TEST_F(IniFileTest, FailedWritesReportFalseAndLeaveTheFileAlone) {
    // A settings "file" that is a directory, and one in a folder that does not exist.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("tallo.ini"));
    EXPECT_FALSE(writeIniString(path(), "Database3", "Path", "x"));
    EXPECT_FALSE(writeIniString(path("missing/tallo.ini"), "Database3", "Path", "x"));
    EXPECT_FALSE(QFile::exists(path("missing/tallo.ini")));

    // A line break in the value would add lines of its own.
    const QString file = path("other.ini");
    ASSERT_TRUE(writeIniString(file, "Database3", "Path", "x"));
    EXPECT_FALSE(writeIniString(file, "Database3", "Path", "a\n[Evil]\nb=c"));
    EXPECT_EQ(readIniString(file, "Database3", "Path"), "x");
}

}  // namespace
}  // namespace platform
