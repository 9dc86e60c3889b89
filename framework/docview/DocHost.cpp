#include "framework/docview/DocHost.h"

namespace fw {
namespace {

DocHost* g_host = nullptr;

}  // namespace

DocHost::DocHost() {
    g_host = this;
}

DocHost::~DocHost() {
    if (g_host == this)
        g_host = nullptr;
}

int DocHost::TakeStartShowCommand() {
    const int cmd = startShow_;
    startShow_ = 5;
    return cmd;
}

DocHost* GetDocHost() {
    return g_host;
}

}  // namespace fw
