#include "app/matter_filters.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QSet>
#include <QTemporaryDir>

#include "app/data_location.h"
#include "app/main_window.h"
#include "storage/dbf_table.h"

using app::matterFilterTables;

TEST(MatterFilters, OneRoutinePerFilteredTable) {
    const auto& tables = matterFilterTables();
    ASSERT_EQ(tables.size(), 33u);
    QSet<QString> components;
    int assets = 0, liabilities = 0, summary = 0;
    for (const auto& table : tables) {
        components.insert(QString::fromLatin1(table.component));
        assets += QLatin1String(table.form) == QLatin1String("F_Assets");
        liabilities += QLatin1String(table.form) == QLatin1String("F_Liabilities");
        summary += QLatin1String(table.form) == QLatin1String("F_Summary");
    }
    EXPECT_EQ(components.size(), 33);
    EXPECT_EQ(assets, 19);
    EXPECT_EQ(liabilities, 10);
    EXPECT_EQ(summary, 2);
    EXPECT_STREQ(app::findMatterFilterTable("T_Expenses")->etype, "(a) Housing");
    EXPECT_EQ(app::findMatterFilterTable("T_PExpenses")->etype, nullptr);
    EXPECT_STREQ(app::findMatterFilterTable("T_Vehicals")->file, "F_vehicals.dbf");
    EXPECT_STREQ(app::findMatterFilterTable("T_PExpenses")->form, "F_Main");
    EXPECT_STREQ(app::findMatterFilterTable("T_Support")->form, "F_Summary");
    // Single-record tables are located, not filtered.
    EXPECT_EQ(app::findMatterFilterTable("T_Family"), nullptr);
    EXPECT_EQ(app::findMatterFilterTable("T_PIncome"), nullptr);
}

class MatterFilterRoutine : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        location = std::make_unique<app::DataLocation>(dir.path());
        main = std::make_unique<app::TF_Main>(*location);
        app::ShellSeams seams;
        seams.currentMatter = [this] { return matter; };
        main->setSeams(seams);

        table.DbfFields =
            std::vector<std::string>{"matter,C,50,0", "etype,C,25,0", "expense,C,65,0"};
        table.HideDeletedRecs = true;
        table.setDbfFileName(QDir(dir.path()).filePath("Expenses.dbf").toStdString());
        table.Open();
        for (auto [m, e] :
             std::vector<std::pair<const char*, const char*>>{{"Smith v. Smith", "(a) Housing"},
                                                              {"Smith v. Smith", "(b) Utilities"},
                                                              {"SMITH V. SMITH", "(a) Housing"},
                                                              {"Müller v. Müller", "(a) Housing"},
                                                              {"Jones", "(a) Housing"}}) {
            table.Append();
            table.FieldByName("matter").setAsString(m);
            table.FieldByName("etype").setAsString(e);
            table.FieldByName("expense").setAsString("x");
            table.Post();
        }
    }

    QTemporaryDir dir;
    std::unique_ptr<app::DataLocation> location;
    std::unique_ptr<app::TF_Main> main;
    QString matter;
    storage::TDbfTable table{"T_Expenses"};
};

TEST_F(MatterFilterRoutine, PassesTheCurrentMatterExactlyAndReadsItAfresh) {
    matter = "Smith v. Smith";
    main->installMatterFilter("t_cash", table);
    EXPECT_EQ(table.GetFilteredCount(), 2u) << "letter case counts";
    main->installMatterFilter("T_Expenses", table);
    EXPECT_EQ(table.GetFilteredCount(), 1u) << "the expenses routine also wants (a) Housing";
    main->installCategoryFilter("(b) Utilities", table);
    EXPECT_EQ(table.GetFilteredCount(), 1u);
    EXPECT_EQ(table.FieldByName("etype").AsString(), "(b) Utilities");

    main->installCategoryFilter(QString(), table);
    EXPECT_EQ(table.GetFilteredCount(), 2u) << "no category: every line of the matter";

    main->installMatterFilter("T_PExpenses", table);
    matter = QString::fromUtf8("Müller v. Müller");
    EXPECT_EQ(table.GetFilteredCount(), 1u) << "each call reads the Matter box again";
    matter.clear();
    EXPECT_EQ(table.GetFilteredCount(), 0u);
}

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
