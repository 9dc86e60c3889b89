// The About box of a program: its picture at the left, its product name, version and copyright
// in three lines beside it, and OK. The program gives the caption, the picture, the control
// ids of the three lines and their texts; the box lays them out the same for every program.
#pragma once

#include "framework/dialogs/Dialog.h"

#include <QIcon>

#include <string>

namespace fw {

struct AboutBoxIds {
    UINT product;
    UINT version;
    UINT copyright;
};

class AboutBox : public Dialog {
public:
    AboutBox(Window* parent, std::string_view title, QIcon picture, AboutBoxIds ids);

    // The texts of the three lines; set before the box is shown.
    void SetTexts(std::string product, std::string version, std::string copyright);
    const std::string& Product() const { return product_; }
    const std::string& Version() const { return version_; }
    const std::string& Copyright() const { return copyright_; }

protected:
    void CreateControls() override;
    void DoDataExchange(DataExchange& dx) override;

private:
    QIcon picture_;
    AboutBoxIds ids_;
    std::string product_;
    std::string version_;
    std::string copyright_;
};

}  // namespace fw
