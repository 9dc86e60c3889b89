// Command routing: an object that handles command ids (menu items, accelerators, toolbar
// buttons, control notifications) and their update handlers (enable, check, text).
//
// Handlers are registered in the constructor of the class that owns them. A command goes to
// the first target on its route that has a handler: a frame asks its active view (which asks its
// document), then itself, then the application. An item whose command has neither an update
// handler nor a command handler anywhere on the route is shown disabled.
#pragma once

#include "framework/base/CmdUI.h"

#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace fw {

enum class CmdAction {
    Execute,  // run the command
    Update,   // run its update handler on the given CmdUI
    Probe,    // only answer whether a command handler exists
};

class CmdTarget {
public:
    using Handler = std::function<void()>;
    using RangeHandler = std::function<void(unsigned id)>;
    using UpdateHandler = std::function<void(CmdUI&)>;

    virtual ~CmdTarget() = default;

    // Notification code 0 is a menu item, accelerator or button click.
    void MapCommand(unsigned id, Handler handler) { MapControl(0, id, std::move(handler)); }
    void MapControl(unsigned code, unsigned id, Handler handler);
    void MapCommandRange(unsigned first, unsigned last, RangeHandler handler);
    void MapUpdate(unsigned id, UpdateHandler handler);
    void MapUpdateRange(unsigned first, unsigned last, UpdateHandler handler);

    // Routes one command; true when a target on the route handled it.
    virtual bool OnCmdMsg(unsigned id, unsigned code, CmdAction action, CmdUI* ui);

    // Convenience for callers and tests.
    bool ExecuteCommand(unsigned id) { return OnCmdMsg(id, 0, CmdAction::Execute, nullptr); }
    // Runs the update handlers for the id; without any, enabled tells whether a handler exists.
    CmdUI QueryCommandState(unsigned id);

protected:
    // This target's own handlers only.
    bool HandleOwn(unsigned id, unsigned code, CmdAction action, CmdUI* ui);

private:
    std::map<std::pair<unsigned, unsigned>, Handler> handlers_;  // (code, id)
    struct Range {
        unsigned first, last;
        RangeHandler handler;
    };
    std::vector<Range> ranges_;
    std::map<unsigned, UpdateHandler> updates_;
    struct UpdateRange {
        unsigned first, last;
        UpdateHandler handler;
    };
    std::vector<UpdateRange> updateRanges_;
};

}  // namespace fw
