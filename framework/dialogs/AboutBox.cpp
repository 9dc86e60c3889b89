#include "framework/dialogs/AboutBox.h"

#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/controls/Static.h"
#include "framework/dialogs/DataExchange.h"

#include <utility>

namespace fw {

AboutBox::AboutBox(Window* parent, std::string_view title, QIcon picture, AboutBoxIds ids)
    : Dialog(parent), picture_(std::move(picture)), ids_(ids) {
    SetTemplate(title, 236, 66);
}

void AboutBox::SetTexts(std::string product, std::string version, std::string copyright) {
    product_ = std::move(product);
    version_ = std::move(version);
    copyright_ = std::move(copyright);
}

void AboutBox::CreateControls() {
    Add<Static>(0, "", {11, 17, 32, 38})->SetPicture(picture_.pixmap(32, 32));
    Add<Static>(ids_.product, "Product String", {43, 10, 176, 20}, SS_NOPREFIX);
    Add<Static>(ids_.version, "Version String", {43, 23, 139, 31}, SS_NOPREFIX);
    Add<Static>(ids_.copyright, "Copyright String", {43, 36, 229, 57}, SS_NOPREFIX);
    Add<Button>(IDOK, "OK", {185, 7, 229, 21}, BS_DEFPUSHBUTTON);
}

void AboutBox::DoDataExchange(DataExchange& dx) {
    DDX_Text(dx, ids_.copyright, copyright_);
    DDX_Text(dx, ids_.product, product_);
    DDX_Text(dx, ids_.version, version_);
}

}  // namespace fw
