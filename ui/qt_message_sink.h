#pragma once

#include "data/message_sink.h"

#include <QPointer>
#include <QWidget>

#include <string>

// Shows each message as a modal box with a single OK and the caption "Ervalun", and waits until
// the user closes it.
class QtMessageSink : public MessageSink {
public:
    explicit QtMessageSink(QWidget* parent = nullptr);
    void ShowMessage(const std::string& text) override;

private:
    QPointer<QWidget> parent_;
};
