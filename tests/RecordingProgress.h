#pragma once

#include <string>
#include <vector>

#include "core/Progress.h"

namespace dorvel::fakes {

// Writes down what a progress window would have shown, in order.
class RecordingProgress final : public core::Progress {
public:
    std::vector<std::string> events;
    bool visible = false;
    void SetCaption(const std::string& text) override { events.push_back("caption " + text); }
    void SetFileLine(const std::string& text) override { events.push_back("file " + text); }
    void SetRecipientLine(const std::string& text) override { events.push_back("line " + text); }
    void Show() override {
        visible = true;
        events.emplace_back("show");
    }
    void Close() override {
        visible = false;
        events.emplace_back("close");
    }
};

}  // namespace dorvel::fakes
