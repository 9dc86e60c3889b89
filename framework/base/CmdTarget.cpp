#include "framework/base/CmdTarget.h"

namespace fw {

void CmdTarget::MapControl(unsigned code, unsigned id, Handler handler) {
    handlers_[{code, id}] = std::move(handler);
}

void CmdTarget::MapCommandRange(unsigned first, unsigned last, RangeHandler handler) {
    ranges_.push_back({first, last, std::move(handler)});
}

void CmdTarget::MapUpdate(unsigned id, UpdateHandler handler) {
    updates_[id] = std::move(handler);
}

void CmdTarget::MapUpdateRange(unsigned first, unsigned last, UpdateHandler handler) {
    updateRanges_.push_back({first, last, std::move(handler)});
}

bool CmdTarget::HandleOwn(unsigned id, unsigned code, CmdAction action, CmdUI* ui) {
    if (action == CmdAction::Update) {
        if (!ui)
            return false;
        if (auto it = updates_.find(id); it != updates_.end()) {
            it->second(*ui);
            return true;
        }
        for (const UpdateRange& r : updateRanges_) {
            if (id >= r.first && id <= r.last) {
                r.handler(*ui);
                return true;
            }
        }
        return false;
    }
    if (auto it = handlers_.find({code, id}); it != handlers_.end()) {
        if (action == CmdAction::Execute) {
            Handler h = it->second;  // the handler may remap itself
            h();
        }
        return true;
    }
    if (code != 0)
        return false;
    for (const Range& r : ranges_) {
        if (id >= r.first && id <= r.last) {
            if (action == CmdAction::Execute) {
                RangeHandler h = r.handler;
                h(id);
            }
            return true;
        }
    }
    return false;
}

bool CmdTarget::OnCmdMsg(unsigned id, unsigned code, CmdAction action, CmdUI* ui) {
    return HandleOwn(id, code, action, ui);
}

CmdUI CmdTarget::QueryCommandState(unsigned id) {
    CmdUI ui(id);
    OnCmdMsg(id, 0, CmdAction::Update, &ui);
    // An item that no update handler enabled or disabled is enabled when a handler exists.
    if (!ui.enabled())
        ui.Enable(OnCmdMsg(id, 0, CmdAction::Probe, nullptr));
    return ui;
}

}  // namespace fw
