// The guideline case of a matter from what its Guidelines record holds and the records it takes
// figures from: which figure wins, what is left out and noted, the parties, the dates, and the
// values that do not read. Run under the en_US locale (month/day/year dates).

#include "schedules/guideline_inputs.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {

using guidelines::Cents;
using guidelines::GuidelineCase;
using guidelines::Party;
using schedules::FieldTexts;
using schedules::GuidelineSources;

const QDate kToday(2025, 6, 2);

GuidelineSources smith() {
    GuidelineSources sources;
    sources.general = {{"xname", "Jane Smith"},
                       {"xplaintiff", "X"},
                       {"xdefendant", " "},
                       {"plainfiff", "JANE SMITH,\r\nPlaintiff,"},
                       {"defendant", "JOHN SMITH,\nDefendant."},
                       {"adate_c", "03/14/2016"}};
    sources.income = {{"salary", "85000.00"},   {"dividends", "1250.00"}, {"trust", "1200.00"},
                      {"dividendnt", "300.50"}, {"medicare", "1232.50"},  {"emphousamt", ""}};
    sources.family = {{"datemarrie", "06/15/1999"}};
    return sources;
}

GuidelineCase computed(const FieldTexts& entries, const GuidelineSources& sources = smith()) {
    auto outcome = schedules::guidelineCase(entries, sources, kToday);
    if (auto* problem = std::get_if<guidelines::Problem>(&outcome)) {
        ADD_FAILURE() << problem->field << ": " << problem->text;
        return {};
    }
    return std::get<GuidelineCase>(outcome);
}

guidelines::Problem refused(const FieldTexts& entries, const GuidelineSources& sources = smith()) {
    auto outcome = schedules::guidelineCase(entries, sources, kToday);
    if (auto* problem = std::get_if<guidelines::Problem>(&outcome)) return *problem;
    ADD_FAILURE() << "the case was accepted";
    return {};
}

// Each income line of a party as "label=cents", deductions negative.
std::vector<std::string> lines(const GuidelineCase& in, Party party) {
    std::vector<std::string> out;
    for (const guidelines::IncomeItem& item : in.party(party).items)
        out.push_back(item.label + "=" +
                      std::to_string(item.deduction ? -item.amount : item.amount));
    return out;
}

bool hasNote(const GuidelineCase& in, const std::string& text) {
    for (const std::string& note : in.notes)
        if (note.find(text) != std::string::npos) return true;
    return false;
}

TEST(GuidelineInputs, TheDeponentsBlankLinesTakeGrossIncomeAndTypedOnesWin) {
    const GuidelineCase in = computed({{"dinvest", "2000"},
                                       {"dficamed", "0"},
                                       {"osalary", "150000"},
                                       {"oficass", "9300.25"},
                                       {"dimputed", "500"}});
    EXPECT_EQ(lines(in, Party::A),
              (std::vector<std::string>{"Gross income (last federal return)=8500000",
                                        "Investment income=200000",
                                        "Imputed and non-income items (perquisites, fringe "
                                        "benefits, gifts)=50000"}));
    EXPECT_EQ(lines(in, Party::B),
              (std::vector<std::string>{"Gross income (last federal return)=15000000",
                                        "Social Security tax (FICA) actually paid=-930025"}));
    EXPECT_EQ(guidelines::incomeOf(in.party(Party::A)), Cents(8750000));
    // Typed over a Gross Income figure: noted, the zero included; a line Gross Income lacks is
    // not an override.
    EXPECT_TRUE(hasNote(in,
                        "except as entered on the guidelines form: Investment income; "
                        "Medicare tax (FICA) actually paid."));
    // The Medicare figure counted nothing, so its unsettled point is not raised.
    EXPECT_FALSE(hasNote(in, "Additional Medicare Tax"));
}

TEST(GuidelineInputs, WhatTheActDoesNotCountIsNotedNotAdded) {
    const GuidelineCase in = computed({});
    EXPECT_EQ(lines(in, Party::A),
              (std::vector<std::string>{"Gross income (last federal return)=8500000",
                                        "Investment income=125000",
                                        "Medicare tax (FICA) actually paid=-123250"}));
    EXPECT_TRUE(hasNote(in,
                        "from the Gross Income schedule: Supplemental Security Income 300.50; "
                        "Food stamps 1,200.00."));
    EXPECT_TRUE(hasNote(in, "0.9% Additional Medicare Tax"));
    EXPECT_TRUE(hasNote(in, "The deponent's figures are those of the Gross Income schedule."));
    // The other party with nothing typed has one line of nothing.
    EXPECT_EQ(lines(in, Party::B),
              (std::vector<std::string>{"Gross income (last federal return)=0"}));

    GuidelineSources none = smith();
    none.income.clear();
    const GuidelineCase alone = computed({{"dsalary", "40000"}}, none);
    EXPECT_EQ(lines(alone, Party::A),
              (std::vector<std::string>{"Gross income (last federal return)=4000000"}));
    EXPECT_TRUE(hasNote(alone, "The matter has no Gross Income schedule"));
}

TEST(GuidelineInputs, ChoicesDefaultsAndDates) {
    GuidelineCase in = computed({});
    EXPECT_EQ(in.asOf, (guidelines::CivilDate{2025, 6, 2}));  // blank: today
    EXPECT_EQ(in.maintenance, guidelines::MaintenanceKind::Temporary);
    EXPECT_EQ(in.children, 0);
    EXPECT_FALSE(in.custodial);
    EXPECT_EQ(in.cssaCap.kind, guidelines::CapOverride::Kind::InForce);
    EXPECT_EQ(in.aboveCap.kind, guidelines::AboveCap::Kind::None);
    EXPECT_FALSE(in.married);  // dates only for post-divorce maintenance

    in = computed({{"asof", "03/14/2016"},
                   {"maint", "P"},
                   {"children", "3"},
                   {"custodial", "O"},
                   {"abovecap", "U"},
                   {"abovecapup", "250000"},
                   {"cssacapk", "N"},
                   {"maintcapk", "A"},
                   {"maintcap", "200000"},
                   {"childcare", "12000.5"},
                   {"education", "3000"}});
    EXPECT_EQ(in.asOf, (guidelines::CivilDate{2016, 3, 14}));
    EXPECT_EQ(in.maintenance, guidelines::MaintenanceKind::PostDivorce);
    EXPECT_EQ(in.children, 3);
    EXPECT_EQ(in.custodial, Party::B);
    EXPECT_EQ(in.aboveCap.kind, guidelines::AboveCap::Kind::UpTo);
    EXPECT_EQ(in.aboveCap.upTo, Cents(25000000));
    EXPECT_EQ(in.cssaCap.kind, guidelines::CapOverride::Kind::NoCap);
    EXPECT_EQ(in.maintenanceCap.kind, guidelines::CapOverride::Kind::Amount);
    EXPECT_EQ(in.maintenanceCap.amount, Cents(20000000));
    EXPECT_EQ(in.addOns.childCare, Cents(1200050));
    EXPECT_EQ(in.addOns.education, Cents(300000));
    // Family's date of marriage and General's date of commencement, unless typed here.
    EXPECT_EQ(in.married, (guidelines::CivilDate{1999, 6, 15}));
    EXPECT_EQ(in.commenced, (guidelines::CivilDate{2016, 3, 14}));
    in = computed({{"maint", "P"}, {"married", "06/15/2001"}, {"commenced", "  /  /    "}});
    EXPECT_EQ(in.married, (guidelines::CivilDate{2001, 6, 15}));
    EXPECT_EQ(in.commenced, (guidelines::CivilDate{2016, 3, 14}));
    EXPECT_EQ(computed({{"maint", "N"}}).maintenance, guidelines::MaintenanceKind::None);
}

TEST(GuidelineInputs, ValuesThatDoNotReadNameTheirInput) {
    struct Case {
        FieldTexts entries;
        std::string field;
        std::string text;
    };
    const Case cases[] = {
        {{{"osalary", "1O000"}},
         "income.b",
         "Gross income (last federal return): \"1O000\" is not an amount"},
        {{{"dlocaltax", "abc"}},
         "income.a",
         "New York City or Yonkers income tax actually paid: \"abc\" is not an amount"},
        {{{"asof", "13/45/2020"}}, "as_of", "\"13/45/2020\" is not a date"},
        {{{"children", "two"}}, "children", "\"two\" is not a number"},
        {{{"children", "1"}}, "custodial", "choose the parent the children live with"},
        {{{"cssacapk", "A"}}, "cssa_cap", "give the cap to use"},
        {{{"abovecap", "U"}},
         "above_cap",
         "give the combined income up to which the percentage applies"},
        {{{"medical", "x"}}, "addons.unreimbursed_medical", "\"x\" is not an amount"},
        {{{"maint", "P"}, {"married", "02/30/2001"}}, "married", "\"02/30/2001\" is not a date"},
    };
    for (const Case& c : cases) {
        const guidelines::Problem problem = refused(c.entries);
        EXPECT_EQ(problem.field, c.field);
        EXPECT_EQ(problem.text, c.text);
    }
    // A date that does not read only matters where it is used.
    GuidelineSources odd = smith();
    odd.family["datemarrie"] = "June 15, 1999";
    EXPECT_EQ(computed({}, odd).maintenance, guidelines::MaintenanceKind::Temporary);
    EXPECT_EQ(refused({{"maint", "P"}}, odd).field, "married");
    EXPECT_EQ(schedules::problemText({"custodial", "choose the parent the children live with"}),
              QStringLiteral("Custodial parent: choose the parent the children live with"));
}

TEST(GuidelineInputs, TheDeponentAndTheOtherParty) {
    using schedules::PartyRole;
    GuidelineSources sources = smith();
    schedules::GuidelineParties parties = schedules::guidelineParties({}, sources);
    EXPECT_EQ(parties.deponentRole, PartyRole::Plaintiff);
    EXPECT_EQ(parties.deponentName, QStringLiteral("Jane Smith"));
    EXPECT_EQ(parties.otherName, QStringLiteral("JOHN SMITH"));  // the caption, comma dropped
    EXPECT_EQ(parties.deponentDescription(), QStringLiteral("plaintiff, the deponent"));
    EXPECT_EQ(parties.otherDescription(), QStringLiteral("defendant"));
    // General Information decides over the form's own choice.
    parties = schedules::guidelineParties({{"deponent", "D"}, {"oname", "John Q. Smith"}}, sources);
    EXPECT_EQ(parties.deponentRole, PartyRole::Plaintiff);
    EXPECT_EQ(parties.otherName, QStringLiteral("John Q. Smith"));

    // Both boxes ticked, or neither: the form's choice, else unknown.
    for (const char* both : {"X", " "}) {
        sources.general["xdefendant"] = both;
        sources.general["xplaintiff"] = both;
        EXPECT_EQ(schedules::generalDeponentRole(sources.general), PartyRole::Unknown);
        parties = schedules::guidelineParties({}, sources);
        EXPECT_EQ(parties.deponentRole, PartyRole::Unknown);
        EXPECT_EQ(parties.otherName, QStringLiteral("Other party"));
        EXPECT_EQ(parties.otherDescription(), QStringLiteral("the other party"));
        parties = schedules::guidelineParties({{"deponent", "D"}}, sources);
        EXPECT_EQ(parties.deponentRole, PartyRole::Defendant);
        EXPECT_EQ(parties.otherName, QStringLiteral("JANE SMITH"));
        EXPECT_EQ(parties.deponentDescription(), QStringLiteral("defendant, the deponent"));
    }
    sources.general.clear();
    parties = schedules::guidelineParties({}, sources);
    EXPECT_EQ(parties.deponentName, QStringLiteral("Deponent"));
    EXPECT_EQ(parties.deponentDescription(), QStringLiteral("the deponent"));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
