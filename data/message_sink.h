#pragma once

#include <string>

// Where the reference readers' messages go. The dialog shows them as modal boxes with a single
// OK; tests capture them. Texts are UTF-8.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const std::string& text) = 0;
};
