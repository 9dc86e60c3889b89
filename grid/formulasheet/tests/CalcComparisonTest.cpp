// One CSV of inputs and 100 formulas, read by a grid with a formula sheet and by LibreOffice
// Calc (headless, converting the same file to values): the computed values must agree. Only
// functions that both spell and mean the same way are used. Skipped where soffice is missing.
#include "grid/core/CGXGridWnd.h"
#include "grid/core/tests/GridFixture.h"
#include "grid/features/GXFeatureInstall.h"
#include "grid/formula/EngineState.h"
#include "grid/formulasheet/CGXFormulaSheet.h"
#include "testsupport/TempDir.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

using Table = std::vector<std::vector<std::string>>;

// Fields separated by commas, a field in double quotes may hold commas ("" is a quote).
std::vector<std::string> SplitCsvLine(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

Table ReadCsv(const std::filesystem::path& path) {
    Table table;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) table.push_back(SplitCsvLine(line));
    return table;
}

// Ten inputs in column A; ten formulas per row in columns B to K, each over its row's input
// and the inputs above it.
std::string MakeCsv() {
    const char* templates[] = {
        "=SQRT(A#)*EXP(A#/10)",
        "=SIN(A#)+COS(A#)*TAN(A#/10)",
        "=LN(A#+1)/LOG10(A#+2)",
        "=ROUND(A#*PI(),4)+INT(A#)",
        "=MOD(A#*7,3)+ABS(1-A#)",
        "=SUM(A$1:A#)/COUNT(A$1:A#)",
        "=MAX(A$1:A#)-MIN(A$1:A#)+MEDIAN(A$1:A#)",
        "=SLN(1000*A#,100,5)+DDB(1000,100,5,3)+SYD(1000,100,5,2)",
        "=SINH(A#/2)-COSH(A#/3)+TANH(A#)+ATAN(A#)+ASIN(A#/10)+ACOS(A#/11)",
        "=NORMSDIST(A#-2)+IF(A#>2,DEGREES(A#),RADIANS(A#))+SUMPRODUCT(A$1:A#,A$1:A#)+"
        "PRODUCT(A$1:A#)+LARGE(A$1:A#,1)-SMALL(A$1:A#,1)+PERMUT(7,3)+FACT(5)",
    };
    const char* inputs[] = {"0.3", "1.7", "2.5", "3", "4.25", "5.5", "6.125", "7", "8.75", "9.9"};
    std::ostringstream csv;
    for (int row = 1; row <= 10; ++row) {
        csv << inputs[row - 1];
        for (const char* t : templates) {
            std::string f = t;
            for (std::size_t p = f.find('#'); p != std::string::npos; p = f.find('#'))
                f.replace(p, 1, std::to_string(row));
            csv << ",\"" << f << "\"";
        }
        csv << "\n";
    }
    return csv.str();
}

class CalcComparison : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXInitWithFeatures();
        formula::GXResetEngineState();
        formula::GXGetEngineState().UseDefaultWorksheetFunctions();
    }
    void TearDown() override {
        formula::GXResetEngineState();
        GXTerminateLibrary();
    }
    ixo::testsupport::TempDir dir_;
};

TEST_F(CalcComparison, HundredFormulasAgreeWithLibreOfficeCalc) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "soffice (LibreOffice Calc) is not installed";
    const std::filesystem::path csv = dir_.Write("sheet.csv", MakeCsv());

    // LibreOffice: import with formulas evaluated, export the values at full precision.
    const std::string filter = "44,34,76,1,,1033,false,true,false,false,false,-1";
    const std::string command =
        "cd '" + dir_.Path().string() + "' && timeout 180 soffice -env:UserInstallation=file://" +
        (dir_ / "profile").string() + " --headless --infilter=\"CSV:" + filter +
        ",true\" --convert-to \"csv:Text - txt - csv (StarCalc):" + filter +
        "\" --outdir out sheet.csv >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::filesystem::path out;
    for (const auto& entry : std::filesystem::directory_iterator(dir_ / "out")) out = entry.path();
    ASSERT_FALSE(out.empty()) << "LibreOffice wrote no file";
    const Table office = ReadCsv(out);

    // The grid: every field of the same file stored as typed input.
    CGXGridWnd wnd;
    wnd.Create(nullptr, {0, 0, 400, 300}, 0, fw::WS_VISIBLE);
    auto* param = new CGXGridParam;
    auto* sheet = new CGXFormulaSheet;
    param->SetData(sheet, true);
    wnd.SetParam(param, true);
    wnd.Initialize();
    const Table input = ReadCsv(csv);
    wnd.SetRowCount(static_cast<ROWCOL>(input.size()), 0);
    wnd.SetColCount(11, 0);
    for (std::size_t r = 0; r < input.size(); ++r)
        for (std::size_t c = 0; c < input[r].size(); ++c)
            ASSERT_TRUE(wnd.SetValueRange(CGXRange(ROWCOL(r + 1), ROWCOL(c + 1)), input[r][c],
                                          gxOverride, 0))
                << input[r][c];
    wnd.Recalc(true);

    ASSERT_EQ(office.size(), input.size());
    int compared = 0;
    for (std::size_t r = 0; r < input.size(); ++r) {
        ASSERT_EQ(office[r].size(), input[r].size());
        for (std::size_t c = 1; c < input[r].size(); ++c) {
            SCOPED_TRACE(input[r][c]);
            char* end = nullptr;
            const double theirs = std::strtod(office[r][c].c_str(), &end);
            ASSERT_TRUE(!office[r][c].empty() && *end == '\0') << "LibreOffice: " << office[r][c];
            const std::string ours = sheet->GetValueText(ROWCOL(r + 1), ROWCOL(c + 1));
            const double mine = sheet->GetNumberValue(ROWCOL(r + 1), ROWCOL(c + 1));
            EXPECT_NEAR(mine, theirs, 1e-9 * std::fabs(theirs) + 1e-12)
                << "ours " << ours << ", LibreOffice " << office[r][c];
            ++compared;
        }
    }
    EXPECT_EQ(compared, 100);
}

}  // namespace
