#include "ui/qt_message_sink.h"

#include <QMessageBox>

QtMessageSink::QtMessageSink(QWidget* parent) : parent_(parent) {}

void QtMessageSink::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Ervalun"), QString::fromUtf8(text),
                    QMessageBox::Ok, parent_.data());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}
