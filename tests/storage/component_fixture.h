#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "storage/dbf_file.h"
#include "storage/dbf_table.h"
#include "storage/status.h"

// A temporary data directory, and the messages and fatal errors the storage layer reported.
class ComponentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("component-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        previousMessage_ = storage::setMessageHandler(
            [this](const std::string& message) { messages.push_back(message); });
        previousFatal_ = storage::setFatalHandler(
            [this](int, const std::string& message) { fatal.push_back(message); });
    }
    void TearDown() override {
        storage::setMessageHandler(previousMessage_);
        storage::setFatalHandler(previousFatal_);
        std::filesystem::remove_all(dir_);
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    bool exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }

    // A table component on `file` in the test directory, with the Expenses-like layout.
    std::unique_ptr<storage::TDbfTable> table(const std::string& file,
                                              std::vector<std::string> indexList = {},
                                              bool hideDeleted = true) {
        auto t = std::make_unique<storage::TDbfTable>("T_Test");
        t->DbfFields = std::vector<std::string>{"matter,C,50,0", "etype,C,25,0", "expense,C,65,0",
                                                "amt,N,12,2", "notes,M,10,0"};
        t->IndexList = std::move(indexList);
        t->HideDeletedRecs = hideDeleted;
        t->setDbfFileName(path(file));
        return t;
    }

    // Appends a record through the component.
    static void add(storage::TDbfTable& t, const std::string& matter, const std::string& etype = "",
                    const std::string& expense = "", double amt = 0) {
        t.Append();
        t.FieldByName("matter").setAsString(matter);
        t.FieldByName("etype").setAsString(etype);
        t.FieldByName("expense").setAsString(expense);
        if (amt != 0) t.FieldByName("amt").setAsFloat(amt);
        t.Post();
    }

    // The matter of every visible record, walking from First.
    static std::vector<std::string> walk(storage::TDbfTable& t) {
        std::vector<std::string> names;
        for (t.First(); !t.Eof(); t.Next()) names.push_back(t.FieldByName("matter").AsString());
        return names;
    }

    std::vector<std::string> messages;
    std::vector<std::string> fatal;

  private:
    std::filesystem::path dir_;
    storage::MessageHandler previousMessage_;
    storage::FatalHandler previousFatal_;
};
