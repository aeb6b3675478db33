#include "sequence/SeqFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace kadenzo;
using namespace std::string_literals;

namespace {

SequenceTable tableOf(const std::vector<StepTexts>& steps) {
    SequenceTable t;
    t.replaceSteps(steps);
    return t;
}

std::vector<StepTexts> stepsOf(const SequenceTable& t) {
    std::vector<StepTexts> s;
    for (int r = 1; r < t.RowCount(); ++r)
        s.push_back(t.step(r));
    return s;
}

// A valid file of exactly `size` bytes (comments of about 100 bytes).
std::string fileOfSize(size_t size) {
    std::string f = "1\r\n";
    int i = 1;
    auto head = [&i] { return std::to_string(i) + ",1.00,0.10,"; };
    while (size - 1 - f.size() > 2 * (head().size() + 102)) {
        f += head() + std::string(100, 'c') + "\r\n";
        ++i;
    }
    // Two last records share what is left before the "*".
    size_t room = size - 1 - f.size() - 2 * (head().size() + 2) - 1;
    size_t a = room / 2;
    f += head() + std::string(a, 'a') + "\r\n";
    ++i;
    f += head() + std::string(size - 1 - f.size() - head().size() - 2, 'b') + "\r\n*";
    return f;
}

} // namespace

TEST(SeqFile, DefaultTableSavesAsEighteenBytes) {
    SequenceTable t;
    std::string bytes = writeSeq(t, 1);
    EXPECT_EQ(bytes, "1\r\n1,0.00,0.01,\r\n*");
    EXPECT_EQ(bytes.size(), 18u);
}

TEST(SeqFile, TwoStepExampleWritesAndReadsBack) {
    const std::string file = "2\r\n1,0.00,0.01,\r\n2,12.50,1.00,Ramp up, slow\r\n*";
    SequenceTable t = tableOf({{"0.00", "0.01", ""}, {"12.50", "1.00", "Ramp up, slow"}});
    EXPECT_EQ(writeSeq(t, 2), file);

    SequenceTable loaded;
    SeqReadResult r = loadSeq(file, loaded);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model, std::optional<int>(2));
    EXPECT_FALSE(r.endMarkerMissing);
    EXPECT_EQ(stepsOf(loaded), stepsOf(t));
    EXPECT_EQ(loaded.cell(StepColumn, 2), "2");
}

TEST(SeqFile, SavingFillsEmptyValuesInTheTableToo) {
    SequenceTable t = tableOf({{"", "", "no values"}, {"5", "", ""}});
    EXPECT_EQ(writeSeq(t, 1), "1\r\n1,0.00,0.01,no values\r\n2,5,0.01,\r\n*");
    EXPECT_EQ(t.step(1), (StepTexts{"0.00", "0.01", "no values"}));
    EXPECT_EQ(t.step(2), (StepTexts{"5", "0.01", ""}));
}

TEST(SeqFile, TextsLoadAsStoredAndStepNumbersAreNotTrusted) {
    SequenceTable t;
    SeqReadResult r = loadSeq("1\r\n5,5,0.5,a\r\n7,,,\r\n9,1e3,x,c,d,\r\n*", t);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(stepsOf(t),
              (std::vector<StepTexts>{{"5", "0.5", "a"}, {"", "", ""}, {"1e3", "x", "c,d,"}}));
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(t.cell(StepColumn, i), std::to_string(i));
}

TEST(SeqFile, ModelDigit) {
    struct Case {
        std::string first;
        std::optional<int> model;
    };
    const Case cases[] = {{"1", 1},
                          {"2", 2},
                          {"3", std::nullopt},
                          {"0", std::nullopt},
                          {"9", std::nullopt},
                          {"x", std::nullopt},
                          {"\r", std::nullopt},
                          {"21", 2},
                          {"12", 1}};
    for (const Case& c : cases) {
        SeqReadResult r = readSeq(c.first + "\r\n1,0.00,0.01,\r\n*");
        ASSERT_TRUE(r.ok) << c.first << ": " << r.error;
        EXPECT_EQ(r.model, c.model) << c.first;
    }
    // A file that starts with its line end has no model either.
    SeqReadResult r = readSeq("\r\n1,0.00,0.01,\r\n*");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.model, std::nullopt);

    SequenceTable t;
    EXPECT_EQ(writeSeq(t, 3).substr(0, 3), "3\r\n");
}

TEST(SeqFile, TenStepFileOverTwentyStepTableLeavesTenSteps) {
    std::vector<StepTexts> twenty(20, StepTexts{"9.00", "1.00", "old"});
    SequenceTable t = tableOf(twenty);
    t.setCurrentCell(CommentColumn, 15);
    std::string file = "2\r\n";
    for (int i = 1; i <= 10; ++i)
        file += std::to_string(i) + "," + std::to_string(i) + ".00,0.50,new\r\n";
    file += "*";
    SeqReadResult r = loadSeq(file, t);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(t.stepCount(), 10);
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(t.step(i), (StepTexts{std::to_string(i) + ".00", "0.50", "new"}));
    EXPECT_EQ(t.cell(CommentColumn, 11), ""); // no old step survives
    EXPECT_EQ(t.currentCell(), (CellPos{CommentColumn, 10}));
}

TEST(SeqFile, BrokenLayoutsAreRefusedAndLeaveTheTableAsItWas) {
    const std::string long159(159, 'c');
    const std::string long160(160, 'c');
    struct Case {
        const char* name;
        std::string bytes;
        std::string error;
    };
    const Case cases[] = {
        {"too large", fileOfSize(200001), "The file is larger than 200,000 bytes."},
        {"empty", "", "The file is empty."},
        {"model only", "1", "The file holds no steps."},
        {"model line only", "1\r\n", "The file holds no steps."},
        {"no records", "1\r\n*", "The file holds no steps."},
        {"two commas", "1\r\n1,0.00,0.01\r\n*", "Line 2 has fewer than three commas."},
        {"no comma", "1\r\n1,0.00,0.01,\r\nhello\r\n*", "Line 3 has fewer than three commas."},
        {"blank line", "1\r\n1,0.00,0.01,\r\n\r\n*", "Line 3 has fewer than three commas."},
        {"LF lines", "1\n1,0.00,0.01,\n1,2\n*", "Line 3 has fewer than three commas."},
        {"long comment", "1\r\n1,0.00,0.01," + long160 + "\r\n*",
         "Line 2 has a field longer than 159 characters."},
        {"long volts", "1\r\n1," + long160 + ",0.01,\r\n*",
         "Line 2 has a field longer than 159 characters."},
        {"long step number", "1\r\n1,1,1,\r\n" + long160 + ",1,1,\r\n*",
         "Line 3 has a field longer than 159 characters."},
        {"long last line without end", "1\r\n1,1,1," + long160,
         "Line 2 has a field longer than 159 characters."},
    };
    for (const Case& c : cases) {
        SequenceTable t = tableOf({{"1.00", "0.10", "A"}, {"2.00", "0.20", "B"}});
        t.setCurrentCell(AmpsColumn, 2);
        int notifications = 0;
        t.onChanged = [&](const TableChange&) { ++notifications; };
        t.onAboutToChange = [&](const TableChange&) { ++notifications; };
        t.onCurrentCellChanged = [&](CellPos, CellPos) { ++notifications; };
        SeqReadResult r = loadSeq(c.bytes, t);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.error, c.error) << c.name;
        EXPECT_EQ(notifications, 0) << c.name;
        EXPECT_EQ(stepsOf(t),
                  (std::vector<StepTexts>{{"1.00", "0.10", "A"}, {"2.00", "0.20", "B"}}))
            << c.name;
        EXPECT_EQ(t.currentCell(), (CellPos{AmpsColumn, 2})) << c.name;
    }
    // The limits themselves are accepted.
    ASSERT_EQ(fileOfSize(200000).size(), 200000u);
    EXPECT_TRUE(readSeq(fileOfSize(200000)).ok);
    SeqReadResult r =
        readSeq("1\r\n" + long159 + "," + long159 + "," + long159 + "," + long159 + "\r\n*");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.steps[0], (StepTexts{long159, long159, long159}));
}

TEST(SeqFile, WithoutTheEndMarkerTheCompleteRecordsLoad) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<StepTexts> steps;
    };
    const Case cases[] = {
        {"ends after a line end",
         "1\r\n1,5,1,a\r\n2,6,1,b\r\n",
         {{"5", "1", "a"}, {"6", "1", "b"}}},
        {"cut inside a record", "1\r\n1,5,1,a\r\n2,6", {{"5", "1", "a"}}},
        {"cut after the comma", "1\r\n1,5,1,a\r\n2,6,1,", {{"5", "1", "a"}, {"6", "1", ""}}},
        {"cut inside the comment", "1\r\n1,5,1,a\r\n2,6,1,b", {{"5", "1", "a"}, {"6", "1", "b"}}},
        {"cut inside the line end", "1\r\n1,5,1,a\r", {{"5", "1", "a\r"}}},
    };
    for (const Case& c : cases) {
        SeqReadResult r = readSeq(c.bytes);
        ASSERT_TRUE(r.ok) << c.name << ": " << r.error;
        EXPECT_TRUE(r.endMarkerMissing) << c.name;
        EXPECT_EQ(r.steps, c.steps) << c.name;
    }
    // Whatever follows the "*" is not read.
    SeqReadResult r = readSeq("1\r\n1,5,1,a\r\n*garbage\r\n2,6,1,b\r\n");
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.endMarkerMissing);
    EXPECT_EQ(r.steps, (std::vector<StepTexts>{{"5", "1", "a"}}));
}

TEST(SeqFile, LineEndsAndEightBitCommentsAreKeptByteForByte) {
    // LF alone ends a line like CR LF; a CR that is not part of a line end is text.
    SeqReadResult r = readSeq("2\n1,5,1,a\n2,6,1,b\rc\r\r\n3,7\r,1,\xE4\xF6\xFC\x80\xFF\r\n*");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.steps,
              (std::vector<StepTexts>{
                  {"5", "1", "a"}, {"6", "1", "b\rc\r"}, {"7\r", "1", "\xE4\xF6\xFC\x80\xFF"}}));

    // Every byte but LF in a comment survives a save and a load, and the file
    // made from the loaded table is the same file.
    std::string comment;
    for (int b = 0; b < 256; ++b) {
        if (b != '\n')
            comment += static_cast<char>(b);
    }
    std::vector<StepTexts> steps;
    for (size_t i = 0; i < comment.size(); i += 100)
        steps.push_back({"1.00", "0.10", comment.substr(i, 100)});
    steps.push_back({"12.50", "1.00", "Ramp up, slow"});
    steps.push_back({"5", "0.5", ""});
    steps.push_back({"1.00", "0.10", "\r"});
    SequenceTable original = tableOf(steps);
    const std::string file = writeSeq(original, 2);

    SequenceTable loaded;
    SeqReadResult back = loadSeq(file, loaded);
    ASSERT_TRUE(back.ok) << back.error;
    EXPECT_EQ(stepsOf(loaded), steps);
    EXPECT_EQ(writeSeq(loaded, *back.model), file);
}
