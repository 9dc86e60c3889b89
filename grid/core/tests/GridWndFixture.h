// A grid child window (CGXGridWnd) shown offscreen, with real key and mouse events sent to it,
// and a small editing control: enough of an in-cell editor to drive the current cell's editing
// cycle (type, store, validate, cancel) from real input.
#pragma once

#include "framework/window/Window.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXRange.h"
#include "grid/core/tests/GridFixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

// An editing control: a character activates it and is appended; Backspace removes one; Store
// writes the text as the cell's value. Validation is the base control's (min/max attributes).
class TestEditControl : public CGXStatic {
public:
    static constexpr unsigned kId = 40001;
    explicit TestEditControl(CGXGridCore* grid) : CGXStatic(grid) {}

    // Shows the typed text while editing, the stored value otherwise.
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standard) override {
        if (!(m_bActive && IsInitFor(row, col))) {
            CGXStatic::Draw(dc, rect, row, col, style, standard);
            return;
        }
        auto shown = style.Clone();
        shown->SetValue(text_);
        CGXStatic::Draw(dc, rect, row, col, *shown, standard);
    }

    void Init(ROWCOL row, ROWCOL col) override {
        CGXControl::Init(row, col);
        text_ = m_pGrid->GetValueRowCol(row, col);
    }
    void SetActive(bool active) override { m_bActive = active; }
    bool IsActive() override { return m_bActive; }
    void SetModify(bool modified) override { m_bModified = modified; }
    bool GetModify() override { return m_bModified; }
    void GetCurrentText(std::string& text) override { text = text_; }
    void SetCurrentText(const std::string& text) override { text_ = text; }
    bool Store() override {
        ++stores;
        return m_pGrid->SetValueRange(CGXRange(m_nRow, m_nCol), text_, gxOverride, GX_INVALIDATE);
    }
    bool ProcessKeys(unsigned message, unsigned key, unsigned, unsigned) override {
        if (message != fw::WM_CHAR || IsReadOnly())
            return false;
        if (key == 8 && m_bActive) {
            if (!text_.empty())
                text_.pop_back();
        } else if (key >= 0x20 && key < 0x7F) {
            if (!m_bActive) {
                m_bActive = true;
                text_.clear();
            }
            text_ += static_cast<char>(key);
        } else {
            return false;
        }
        if (!m_bModified) {
            m_bModified = true;
            OnModifyCell();
        }
        m_pGrid->RedrawRowCol(m_nRow, m_nCol, m_nRow, m_nCol, GX_INVALIDATE);
        return true;
    }
    void OnGridScroll(unsigned message, fw::WPARAM, fw::LPARAM) override {
        scrolls.push_back(message);
    }
    std::string text_;
    int stores = 0;
    std::vector<unsigned> scrolls;
};

class GridWndFixture : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXInitWithControlFactory();
        wnd_ = std::make_unique<CGXGridWnd>();
        wnd_->Create(nullptr, {0, 0, 400, 300}, 0, fw::WS_VISIBLE);
        wnd_->Initialize();
        SetTestStandardFont(Grid());
        Grid().SetRowCount(40, 0);
        Grid().SetColCount(8, 0);
        auto edit = std::make_unique<TestEditControl>(&Grid());
        edit_ = edit.get();
        Grid().RegisterControl(TestEditControl::kId, std::move(edit));
        CGXStyle style;
        style.SetControl(static_cast<std::uint16_t>(TestEditControl::kId));
        Grid().SetStyleRange(CGXRange().SetTable(), &style, gxOverride, 0, nullptr, 0);
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        wnd_.reset();
        GXTerminateLibrary();
    }
    CGXGridWnd& Grid() { return *wnd_; }
    CGXGridParam& Param() { return *Grid().GetParam(); }
    std::pair<ROWCOL, ROWCOL> Current() {
        ROWCOL row = 0, col = 0;
        if (!Grid().GetCurrentCell(row, col))
            return {0, 0};
        return {row, col};
    }
    QPoint CenterOf(ROWCOL row, ROWCOL col) {
        const fw::Rect r = Grid().CalcRectFromRowCol(row, col);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(wnd_.get(), key, mods);
    }
    void Type(const char* text) { QTest::keyClicks(wnd_.get(), text); }
    // Paints what is invalid and answers the window's image.
    QImage Paint() {
        QCoreApplication::processEvents();
        for (int i = 0; i < 3 && wnd_->GetUpdateRect(nullptr); ++i) wnd_->UpdateWindow();
        return wnd_->BackingImage().copy();
    }
    void Click(ROWCOL row, ROWCOL col) {
        QTest::mouseClick(wnd_.get(), Qt::LeftButton, Qt::NoModifier, CenterOf(row, col));
    }

    std::unique_ptr<CGXGridWnd> wnd_;
    TestEditControl* edit_ = nullptr;
};
