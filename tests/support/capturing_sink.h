#pragma once

#include "data/message_sink.h"

#include <string>
#include <vector>

namespace testing_support {

// Keeps every message the readers would show, in order.
class CapturingSink : public MessageSink {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

} // namespace testing_support
