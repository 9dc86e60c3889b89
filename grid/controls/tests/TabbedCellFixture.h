// A grid of tabbed cells (key column 0, text column 1) over three ports, "Port A" listed before
// "Port", for the tests of the tabbed drop-down list and the tabbed combo box.
#pragma once

#include "grid/controls/tests/ControlFixture.h"
#include "grid/core/CGXStyle.h"

#include <string>
#include <tuple>
#include <vector>

namespace gxtest {

inline constexpr const char* kTabbedPorts =
    "1\tPort A\tfirst\r\n2\tPort\tsecond\r\n3\tUniverse\tthird";

template <class Control, unsigned ControlId>
class TabbedCellFixture : public ControlFixture {
protected:
    // `rows` rows of 20 pixels and three columns of 100; cell (1,1) holds the ports with key 3.
    void SetUpRows(ROWCOL rows) {
        ControlFixture::SetUp();
        Core().SetRowCount(rows);
        Core().SetColCount(3);
        Core().SetColWidth(1, 3, 100);
        Core().SetRowHeight(1, rows, 20);
        Put(1, 1, kTabbedPorts, "3");
        Paint();
    }
    void Put(ROWCOL row, ROWCOL col, const char* list, const char* value,
             CGXStyle extra = CGXStyle()) {
        extra.SetControl(static_cast<std::uint16_t>(ControlId))
            .SetChoiceList(list)
            .SetUserAttribute(GX_IDS_UA_TABLIST_KEYCOL, "0")
            .SetUserAttribute(GX_IDS_UA_TABLIST_TEXTCOL, "1")
            .SetValue(std::string(value));
        Core().SetStyleRange(CGXRange(row, col), &extra);
    }
    Control* Ctrl() { return static_cast<Control*>(Core().GetRegisteredControl(ControlId)); }
    // A stored key shows its text column and a typed text stores its key; an unknown key shows
    // nothing, an unknown text is refused and kept as typed.
    void ExpectKeysAndTexts() {
        Control* c = Ctrl();
        std::string text;
        for (auto [value, shown, found] :
             std::vector<std::tuple<std::string, std::string, bool>>{{"1", "Port A", true},
                                                                     {"2", "Port", true},
                                                                     {"3", "Universe", true},
                                                                     {"9", "", false},
                                                                     {"", "", false}}) {
            EXPECT_EQ(c->GetControlText(text, 1, 1, &value, *Style(1, 1)), found) << value;
            EXPECT_EQ(text, shown) << value;
        }
        for (auto [typed, key, ok] :
             std::vector<std::tuple<std::string, std::string, bool>>{{"Port", "2", true},
                                                                     {"Port A", "1", true},
                                                                     {"", "", true},
                                                                     {"Por", "Por", false}}) {
            std::string t = typed;
            EXPECT_EQ(c->ConvertControlTextToValue(t, 1, 1, nullptr), ok) << typed;
            EXPECT_EQ(t, key) << typed;
        }
    }
};

}  // namespace gxtest
