// The grid's display and print properties, owned by (or shared through) the parameter object.
// The core reads its colour table and flags; the properties' full set of settings, user
// properties and header and footer printing are added with the properties feature.
#pragma once

#include "framework/base/Color.h"
#include "framework/persist/RuntimeClass.h"

#include <vector>

class CGXProperties : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }

    CGXProperties();
    // Through the document-serialisation component (nothing without it).
    void Serialize(fw::Archive& ar) override;

    // Colour table: 0 grid lines and the area outside the cells, 1 frozen-area lines, 2 and 3
    // the drag lines. 0 past the end.
    fw::ColorRef GetColor(std::size_t index) const {
        return index < colors_.size() ? colors_[index] : 0;
    }
    void SetColor(std::size_t index, fw::ColorRef c);
    bool GetBlackWhite() const { return blackWhite_; }
    void SetBlackWhite(bool b) { blackWhite_ = b; }
    // Grid lines on screen and on paper, and the 3-D look (lines on the right and bottom edges
    // of cells instead of the left and top).
    bool GetDisplayHorzLines() const { return horzLines_; }
    bool GetDisplayVertLines() const { return vertLines_; }
    bool GetPrintHorzLines() const { return printHorzLines_; }
    bool GetPrintVertLines() const { return printVertLines_; }
    void SetDisplayHorzLines(bool b) { horzLines_ = b; }
    void SetDisplayVertLines(bool b) { vertLines_ = b; }
    void SetPrintHorzLines(bool b) { printHorzLines_ = b; }
    void SetPrintVertLines(bool b) { printVertLines_ = b; }
    // Header rows and columns on paper ("Print Column Headers", "Print Row Headers").
    bool GetPrintColHeaders() const { return printColHeaders_; }
    bool GetPrintRowHeaders() const { return printRowHeaders_; }
    void SetPrintColHeaders(bool b) { printColHeaders_ = b; }
    void SetPrintRowHeaders(bool b) { printRowHeaders_ = b; }
    // The headers of the current cell's row and column are drawn marked.
    bool GetMarkRowHeader() const { return markRowHeader_; }
    bool GetMarkColHeader() const { return markColHeader_; }
    void SetMarkRowHeader(bool b) { markRowHeader_ = b; }
    void SetMarkColHeader(bool b) { markColHeader_ = b; }
    bool Get3dButtons() const { return threeD_; }
    void Set3dButtons(bool b) { threeD_ = b; }
    int GetZoom() const { return zoom_; }
    void SetZoom(int percent) { zoom_ = percent; }

private:
    std::vector<fw::ColorRef> colors_;
    bool blackWhite_ = false;
    bool horzLines_ = true;
    bool vertLines_ = true;
    bool printHorzLines_ = true;
    bool printVertLines_ = true;
    bool printColHeaders_ = true;
    bool printRowHeaders_ = true;
    bool markRowHeader_ = true;
    bool markColHeader_ = true;
    bool threeD_ = false;
    int zoom_ = 100;
};

// Printer settings of a grid, owned by the parameter object.
class CGXPrintDevice : public fw::Serializable {
public:
    static const fw::RuntimeClass kClass;
    const fw::RuntimeClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(fw::Archive&) override {}
};
