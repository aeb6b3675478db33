#include "sequence/CsvImport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kadenzo;

namespace {

constexpr float kM1Volts = 30.8f, kM1Amps = 2.06f, kM2Volts = 35.4f, kM2Amps = 5.05f;
const std::string kIllegal = "Illegal values in imported data - Look for comments";
const std::string kVolts = "PSU Volts limit exceeded";
const std::string kAmps = "PSU Amps limit exceeded";

std::vector<StepTexts> import1(const std::string& bytes) {
    CsvImportResult r = importCsv(bytes, kM1Volts, kM1Amps);
    EXPECT_TRUE(r.ok) << r.error;
    return r.steps;
}

} // namespace

TEST(CsvImport, OneLineCases) {
    struct Case {
        const char* line;
        StepTexts step;
    };
    const Case cases[] = {
        {"31,1.5", {"0.00", "1.50", kVolts}},
        {"5,0.01", {"5.00", "0.01", ""}},
        {"5,0", {"5.00", "0.01", kAmps}},
        {"5,", {"5.00", "0.01", kAmps}},
        {"5,0.009", {"5.00", "0.01", kAmps}},
        {"-1,1", {"0.00", "1.00", kVolts}},
        {",1", {"0.00", "1.00", ""}},
        {"Volts,Amps", {"0.00", "0.01", kAmps}},
        {"5,1", {"5.00", "1.00", ""}},
        {"1.234,1", {"1.23", "1.00", ""}},
        {"12.345,0.004", {"12.35", "0.01", kAmps}},
        {"30.8,2.06", {"30.80", "2.06", ""}},
        {"30.81,2.07", {"0.00", "0.01", kAmps}}, // both illegal: the I Limit message stays
        {"5,0.5,abc", {"5.00", "0.50", ""}},     // a third column is ignored
        {"5", {"5.00", "0.01", kAmps}},          // no "," : empty I Limit
        {" 12 , 1 ", {"12.00", "1.00", ""}},
        {"1e999,1", {"0.00", "1.00", kVolts}},
    };
    for (const Case& c : cases) {
        for (const char* end : {"\r\n", "\n", ""}) {
            std::vector<StepTexts> steps = import1(std::string(c.line) + end);
            ASSERT_EQ(steps.size(), 1u) << c.line;
            EXPECT_EQ(steps[0], c.step)
                << "'" << c.line << "' ended by " << (end[0] ? "" : "nothing");
        }
    }
    // The limits are those passed in.
    EXPECT_EQ(importCsv("33,5\r\n", kM2Volts, kM2Amps).steps[0], (StepTexts{"33.00", "5.00", ""}));
    EXPECT_EQ(importCsv("35.41,5.06\r\n", kM2Volts, kM2Amps).steps[0],
              (StepTexts{"0.00", "0.01", kAmps}));
}

TEST(CsvImport, StepOneCarriesTheSummaryWhenALaterLineIsIllegal) {
    struct Case {
        const char* file;
        std::vector<std::string> comments;
    };
    const Case cases[] = {
        {"1,1\r\n2,1\r\n3,1\r\n", {"", "", ""}},
        {"1,1\r\n31,1\r\n3,1\r\n", {kIllegal, kVolts, ""}},
        {"1,1\r\n2,1\r\n3,9\r\n", {kIllegal, "", kAmps}},
        {"31,1\r\n2,1\r\n", {kVolts, ""}},
        {"31,1\r\n2,9\r\n", {kIllegal, kAmps}},
    };
    for (const Case& c : cases) {
        std::vector<StepTexts> steps = import1(c.file);
        ASSERT_EQ(steps.size(), c.comments.size()) << c.file;
        for (size_t i = 0; i < steps.size(); ++i)
            EXPECT_EQ(steps[i].comment, c.comments[i]) << c.file << " step " << i + 1;
    }
}

TEST(CsvImport, LineEndsByteOrderMarkAndTrailingBlankLines) {
    const std::vector<StepTexts> expected = {
        {"1.00", "0.10", ""}, {"2.00", "0.20", ""}, {"3.00", "0.30", ""}};
    const char* files[] = {
        "1,0.1\r\n2,0.2\r\n3,0.3\r\n",
        "1,0.1\n2,0.2\n3,0.3\n",
        "1,0.1\r2,0.2\r3,0.3\r",
        "1,0.1\r\n2,0.2\n3,0.3",
        "1,0.1\r\n2,0.2\r\n3,0.3",
        "\357\273\2771,0.1\r\n2,0.2\r\n3,0.3\r\n", // byte-order mark (octal escapes)
        "1,0.1\r\n2,0.2\r\n3,0.3\r\n\r\n\r\n",
        "1,0.1\n2,0.2\n3,0.3\n\n  \n\t\n",
        "1,0.1\r\n2,0.2\r\n3,0.3\r\n \r\n",
    };
    for (const char* f : files)
        EXPECT_EQ(import1(f), expected) << f;

    // A blank line between lines is a line like any other.
    EXPECT_EQ(import1("1,0.1\r\n\r\n3,0.3\r\n"),
              (std::vector<StepTexts>{
                  {"1.00", "0.10", kIllegal}, {"0.00", "0.01", kAmps}, {"3.00", "0.30", ""}}));
    // A byte-order mark only counts at the very start.
    EXPECT_EQ(import1("1,0.1\r\n\357\273\2772,0.2\r\n")[1], (StepTexts{"0.00", "0.20", ""}));
}

TEST(CsvImport, LongFieldsAreReadFromTheirFirst99Bytes) {
    // Within 99 bytes the value is 5 (and 1); the whole fields would read 59999 (and 15).
    std::string volts = std::string(98, ' ') + "59999";
    std::string amps = std::string(98, ' ') + "15" + std::string(300, '0');
    EXPECT_EQ(import1(volts + "," + amps + "\r\n2,1\r\n"),
              (std::vector<StepTexts>{{"5.00", "1.00", ""}, {"2.00", "1.00", ""}}));
    // A 99-byte field is read whole.
    EXPECT_EQ(import1(std::string(98, ' ') + "7,1")[0], (StepTexts{"7.00", "1.00", ""}));
}

TEST(CsvImport, FileWithoutLinesIsRefusedAndTheTableStays) {
    for (const char* f : {"", "\xEF\xBB\xBF", "\r\n", "\n\n  \r\n"}) {
        SequenceTable t;
        t.replaceSteps({{"1.00", "0.10", "A"}, {"2.00", "0.20", "B"}});
        CsvImportResult r = importCsvInto(f, kM1Volts, kM1Amps, t);
        EXPECT_FALSE(r.ok) << f;
        EXPECT_EQ(r.error, "The file holds no data to import.");
        EXPECT_EQ(t.stepCount(), 2);
        EXPECT_EQ(t.step(2), (StepTexts{"2.00", "0.20", "B"}));
    }
}

TEST(CsvImport, ReplacesTheWholeTable) {
    SequenceTable t;
    std::vector<StepTexts> ten(10, StepTexts{"9.00", "1.00", "old"});
    t.replaceSteps(ten);
    t.setCurrentCell(AmpsColumn, 2);
    CsvImportResult r = importCsvInto("1,1\r\n2,1\r\n3,1\r\n", kM1Volts, kM1Amps, t);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(t.stepCount(), 3);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(t.cell(StepColumn, i), std::to_string(i));
        EXPECT_EQ(t.step(i), (StepTexts{std::to_string(i) + ".00", "1.00", ""}));
    }
    EXPECT_EQ(t.currentCell(), (CellPos{AmpsColumn, 2})); // its row still exists
    importCsvInto("1,1\r\n", kM1Volts, kM1Amps, t);
    EXPECT_EQ(t.currentCell(), (CellPos{AmpsColumn, 1}));
}
