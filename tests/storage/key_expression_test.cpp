#include "storage/key_expression.h"

#include <gtest/gtest.h>

#include <cstring>

#include "index_fixture.h"

using storage::KeyExpression;
using storage::Status;

namespace {

// Fields of the Expenses table, with offsets as a table gives them.
std::vector<storage::FieldDescriptor> expensesFields() {
    std::vector<storage::FieldDescriptor> fields = {
        index_test::field("MATTER", 'C', 50),  index_test::field("ETYPE", 'C', 25),
        index_test::field("EXPENSE", 'C', 65), index_test::field("AMT", 'N', 12, 2),
        index_test::field("DONE", 'L', 1),     index_test::field("WHEN", 'D', 8),
        index_test::field("NOTES", 'M', 10)};
    uint32_t offset = 1;
    for (auto& f : fields) {
        f.offset = offset;
        offset += f.width;
    }
    return fields;
}

std::vector<uint8_t> record(const std::vector<storage::FieldDescriptor>& fields,
                            const std::vector<std::string>& texts) {
    uint32_t length = 1;
    for (const auto& f : fields) length += f.width;
    std::vector<uint8_t> bytes(length, ' ');
    for (size_t i = 0; i < texts.size(); ++i)
        std::memcpy(bytes.data() + fields[i].offset, texts[i].data(), texts[i].size());
    return bytes;
}

std::unique_ptr<KeyExpression> compiled(const std::string& text) {
    std::unique_ptr<KeyExpression> expression;
    Status s = KeyExpression::compile(text, expensesFields(), &expression);
    EXPECT_TRUE(s.ok()) << text << ": " << s.message();
    return expression;
}

std::string keyOf(const KeyExpression& expression, const std::vector<uint8_t>& rec,
                  uint32_t recno) {
    std::string key(expression.keyLength(), '\0');
    expression.evaluate(rec.data(), recno, reinterpret_cast<uint8_t*>(key.data()));
    return key;
}

TEST(KeyExpression, ExpressionsOfTheProgram) {
    const auto fields = expensesFields();
    const auto rec = record(fields, {"Smith v. Smith", "Housing", "Rent"});

    for (const char* text : {"matter", "MATTER", "Matter", "  matter "}) {
        auto e = compiled(text);
        ASSERT_TRUE(e);
        EXPECT_EQ(e->keyType(), 'C');
        EXPECT_EQ(e->keyLength(), 50);
        EXPECT_EQ(keyOf(*e, rec, 1), "Smith v. Smith" + std::string(36, ' '));
    }

    auto joined = compiled("etype + expense");
    ASSERT_TRUE(joined);
    EXPECT_EQ(joined->keyLength(), 90);
    EXPECT_EQ(keyOf(*joined, rec, 1),
              "Housing" + std::string(18, ' ') + "Rent" + std::string(61, ' '));

    auto recno = compiled("recno()");
    ASSERT_TRUE(recno);
    EXPECT_EQ(recno->keyType(), 'N');
    EXPECT_EQ(recno->keyLength(), 8);
    EXPECT_EQ(storage::decodeNumericKey(
                  reinterpret_cast<const uint8_t*>(keyOf(*recno, rec, 4711).data())),
              4711.0);
    EXPECT_TRUE(compiled("RECNO( )"));
}

TEST(KeyExpression, NumericAndDateKeysOrderAsValues) {
    const auto fields = expensesFields();
    auto amount = compiled("amt");
    auto date = compiled("when");
    ASSERT_TRUE(amount && date);
    EXPECT_EQ(date->keyType(), 'D');
    auto keyValue = [&](const KeyExpression& e, const std::vector<std::string>& texts) {
        const std::string key = keyOf(e, record(fields, texts), 1);
        return storage::decodeNumericKey(reinterpret_cast<const uint8_t*>(key.data()));
    };
    EXPECT_EQ(keyValue(*amount, {"", "", "", "    -12.50"}), -12.5);
    EXPECT_EQ(keyValue(*amount, {"", "", "", "          "}), 0.0);
    EXPECT_EQ(keyValue(*amount, {"", "", "", "**********"}), 0.0);
    const double day = keyValue(*date, {"", "", "", "", "", "20040307"});
    EXPECT_EQ(storage::digitsOfJulianDay(day), "20040307");
    EXPECT_LT(keyValue(*date, {"", "", "", "", "", "19991231"}), day);
    EXPECT_EQ(keyValue(*date, {"", "", "", "", "", "        "}), 0.0);
    // A number plus a number adds; a date plus days is a date.
    auto sum = compiled("amt + recno()");
    ASSERT_TRUE(sum);
    EXPECT_EQ(keyValue(*sum, {"", "", "", "      1.50"}), 2.5);
    EXPECT_EQ(compiled("when + 1")->keyType(), 'D');
}

TEST(KeyExpression, ADateFieldNarrowerThanEightBytesKeysAsNoDate) {
    // A damaged or foreign descriptor: the key may read only the field's own bytes.
    std::vector<storage::FieldDescriptor> fields = {index_test::field("WHEN", 'D', 4),
                                                    index_test::field("REST", 'C', 4)};
    fields[0].offset = 1;
    fields[1].offset = 5;
    std::unique_ptr<KeyExpression> e;
    ASSERT_TRUE(KeyExpression::compile("when", fields, &e).ok());
    const std::string key = keyOf(*e, record(fields, {"2004", "0307"}), 1);
    EXPECT_EQ(storage::decodeNumericKey(reinterpret_cast<const uint8_t*>(key.data())), 0.0);
}

TEST(KeyExpression, BadExpressionsAreRefused) {
    const auto fields = expensesFields();
    auto refused = [&](const std::string& text) {
        std::unique_ptr<KeyExpression> e;
        Status s = KeyExpression::compile(text, fields, &e);
        EXPECT_FALSE(s.ok()) << text;
        EXPECT_FALSE(e) << text;
        return s.context();
    };
    EXPECT_NE(refused("done").find("Wrong parser return type"), std::string::npos);
    EXPECT_NE(refused("notes").find("Wrong parser return type"), std::string::npos);
    EXPECT_NE(refused("nosuchfield").find("nosuchfield"), std::string::npos);
    refused("matter + amt");
    refused("matter + expense");  // 115 bytes: longer than a key may be
    refused(std::string(101, 'x'));
    refused("");
    refused("matter +");
    refused("(matter");
    refused("upper(matter)");
    refused("'unterminated");
}

}  // namespace
