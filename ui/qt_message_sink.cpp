#include "ui/qt_message_sink.h"

#include <QMessageBox>

QtMessageSink::QtMessageSink(QWidget* parent) : parent_(parent) {}

void QtMessageSink::ShowMessage(const std::string& text) {
    // A start-up message comes while the owner is still being made and not yet shown: a box
    // would then be centred over the corner of the screen where an unshown window lies. The
    // owner is shown first, as the modal window it is about to become, so that the box is
    // centred over it like every other box.
    QWidget* owner = parent_ ? parent_->window() : nullptr;
    if (owner != nullptr && !owner->isVisible()) {
        owner->setWindowModality(Qt::ApplicationModal);
        owner->show();
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Ervalun"), QString::fromUtf8(text),
                    QMessageBox::Ok, owner);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}
