#include "framework/base/AppName.h"

namespace fw {
namespace {

std::string& Name() {
    static std::string name;
    return name;
}

}  // namespace

const std::string& ApplicationName() {
    return Name();
}

void SetApplicationName(std::string_view name) {
    Name() = std::string(name);
}

}  // namespace fw
