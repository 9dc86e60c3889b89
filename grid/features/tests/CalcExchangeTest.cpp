// The clipboard text against a real spreadsheet: LibreOffice Calc (headless) reads what a copy
// puts on the clipboard into its own format, writes it back as text, and a paste of that text
// gives the same cells. Skipped where soffice is not installed.
#include "framework/persist/Clipboard.h"
#include "grid/features/CGXGridClipboard.h"
#include "grid/features/tests/FeatureFixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

bool Shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Splits tab-separated text as Calc writes it (rows end with LF or CR LF, no quoting needed
// for these cells).
std::vector<std::vector<std::string>> Cells(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> row;
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', start);
            row.push_back(line.substr(start, tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        rows.push_back(row);
    }
    return rows;
}

using CalcExchangeTest = FeatureFixture;

TEST_F(CalcExchangeTest, CopyThroughCalcAndPasteBackGivesTheSameCells) {
    if (!Shell("command -v soffice >/dev/null 2>&1"))
        GTEST_SKIP() << "soffice (LibreOffice) is not installed";
    const char* cells[3][4] = {{"Node", "Address", "Universe", "Channels"},
                               {"Stage left", "10.0.0.21", "1", "512"},
                               {"Dimmer rack B", "10.0.0.22", "2", "48"}};
    for (ROWCOL r = 0; r < 3; ++r)
        for (ROWCOL c = 0; c < 4; ++c) Set(r + 1, c + 1, cells[r][c]);
    Core().m_nClipboardFlags = GX_DNDTEXT;
    Param().m_SelRects.AddTail(CGXRange(1, 1, 3, 4));
    ASSERT_TRUE(Core().Copy());
    const std::string copied = fw::Clipboard().GetText().value_or("");

    const fs::path dir = fs::temp_directory_path() / ("ixo-calc-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    struct RemovedAtEnd {  // also when a check below stops the test
        fs::path path;
        ~RemovedAtEnd() {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } removed{dir};
    std::ofstream(dir / "copy.csv", std::ios::binary) << copied;
    // Calc's own profile in the test folder, so a running office is not disturbed.
    const std::string office = "soffice -env:UserInstallation=file://" +
                               (dir / "profile").string() + " --headless --norestore ";
    // Tab-separated, quote ", UTF-8, from line 1, every column as text.
    const std::string filter = "\"Text - txt - csv (StarCalc)\":9,34,76,1,1/2/2/2/3/2/4/2";
    ASSERT_TRUE(Shell(office + "--infilter=" + filter + " --convert-to ods --outdir " +
                      dir.string() + " " + (dir / "copy.csv").string() + " >/dev/null 2>&1"));
    ASSERT_TRUE(fs::exists(dir / "copy.ods"));
    fs::create_directories(dir / "back");
    ASSERT_TRUE(Shell(office +
                      "--convert-to 'csv:Text - txt - csv "
                      "(StarCalc):9,34,76,1,,0,false,true,false,false' --outdir " +
                      (dir / "back").string() + " " + (dir / "copy.ods").string() +
                      " >/dev/null 2>&1"));
    const std::string back = ReadFile(dir / "back" / "copy.csv");

    // What Calc holds is what the grid copied, cell by cell.
    const auto rows = Cells(back);
    ASSERT_EQ(rows.size(), 3u) << back;
    for (ROWCOL r = 0; r < 3; ++r) {
        ASSERT_EQ(rows[r].size(), 4u) << back;
        for (ROWCOL c = 0; c < 4; ++c)
            EXPECT_EQ(rows[r][c], cells[r][c]) << "row " << r + 1 << " column " << c + 1;
    }
    // And Calc's text pastes back into the grid as the same cells.
    {
        fw::Clipboard clip;
        clip.Empty();
        clip.SetText(back);
    }
    Param().m_SelRects.DeleteAll();
    Param().m_SelRects.AddTail(CGXRange(10, 2));
    ASSERT_TRUE(Core().Paste());
    for (ROWCOL r = 0; r < 3; ++r)
        for (ROWCOL c = 0; c < 4; ++c) EXPECT_EQ(Get(10 + r, 2 + c), cells[r][c]);
    EXPECT_EQ(Get(13, 2), "");
}

}  // namespace
