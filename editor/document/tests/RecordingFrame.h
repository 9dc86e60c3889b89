// A main frame and an error sink for tests of the network operations: both record what
// reaches them, and answer as the test scripts them.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "editor/document/EditorHost.h"
#include "editor/document/ErrorSink.h"
#include "testsupport/Notice.h"

// The main frame: records posts, progress and repaints; a key press is pending after
// the given number of cancel tests (0: never). Every post and every step of node status
// wakes Await, so a test waits for what node status learned without looking again and
// again.
class RecordingFrame : public IMainFrame {
public:
    bool PostNodeStatus(uint32_t message, bool online, std::unique_ptr<VavMacAddress> mac) override;
    void NodeStatusStepped() override { notice_.Notify(); }
    bool TakePendingKeyDown() override;
    void BeginProgress(int range) override { progress.push_back("range " + std::to_string(range)); }
    void SetProgress(int position) override { progress.push_back(std::to_string(position)); }
    void EndProgress() override { progress.push_back("end"); }
    void Invalidate() override { ++invalidations; }

    // "on 02:18:00:00:00:02" / "off ..." for each message posted.
    std::vector<std::string> Posts();
    // True once `done` holds, looked at now and after each post and step of node status;
    // false when it does not within `ms` of real time.
    bool Await(const std::function<bool()>& done, int ms = 5000) { return notice_.Await(done, ms); }

    bool refusePosts = false;
    int keyAfterTests = 0;
    int cancelTests = 0;
    std::vector<std::string> progress;
    int invalidations = 0;

private:
    std::mutex lock_;
    std::vector<std::string> posts_;
    ixo::testsupport::Notice notice_;
};

// The error sink whose questions run a hook first (for a test to act while the user
// is asked), then take the queued answers.
class ScriptedSink : public HeadlessErrorSink {
public:
    ScriptedSink() : HeadlessErrorSink(nullptr) {}
    int AskAbortRetryIgnore(const std::string& title, const std::string& text) override {
        if (onQuestion)
            onQuestion(text);
        return HeadlessErrorSink::AskAbortRetryIgnore(title, text);
    }
    std::function<void(const std::string&)> onQuestion;
};
