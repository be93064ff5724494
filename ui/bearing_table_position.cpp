// The station's position typed in one field, in any form the field uses.
#include "geodesy/coordinate_formats.h"
#include "ui/bearing_table.h"
#include "ui/estimate_panel.h"
#include "ui/form/form_number.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace geodesy = ervalun::geodesy;

namespace {

// A coordinate of the form: degrees, minutes and seconds, each as the form reads them, and the
// hemisphere; nothing (and the field to blame) when one is refused.
std::optional<double> ReadAngle(QLineEdit* degrees, QLineEdit* minutes, QLineEdit* seconds,
                                bool negative, double limit, QLineEdit*& wrong) {
    double parts[3] = {};
    QLineEdit* const fields[3] = {degrees, minutes, seconds};
    for (int i = 0; i < 3; ++i) {
        const QString text = fields[i]->text().trimmed();
        if (i > 0 && text.isEmpty()) {
            continue; // no minutes or seconds: none
        }
        const std::string bytes = text.toStdString();
        if (ervalun::ParseFormNumber(bytes, parts[i]) != ervalun::FormNumberStatus::Ok ||
            (i > 0 && parts[i] >= 60.0)) {
            wrong = fields[i];
            return std::nullopt;
        }
    }
    const double value = parts[0] + parts[1] / 60.0 + parts[2] / 3600.0;
    if (value > limit) {
        wrong = degrees;
        return std::nullopt;
    }
    return negative ? -value : value;
}

} // namespace

void CBearingTable::OnPositionEdited(const QString& text) {
    // What will be used, shown before it is.
    if (text.trimmed().isEmpty()) {
        positionRead_->hide();
        return;
    }
    const geodesy::ParsedPosition read = geodesy::ParseCoordinate(text.toStdString());
    if (read.ok) {
        positionRead_->setText(
            QStringLiteral("Lu : ") +
            EstimateText(geodesy::FormatCoordinate(read.latitude, read.longitude,
                                                   geodesy::CoordinateForm::DegreesMinutesSeconds) +
                         " (" + geodesy::CoordinateFormName(read.form) + ")"));
        positionRead_->setStyleSheet(QString());
    } else {
        positionRead_->setText(QStringLiteral("Illisible : ") + EstimateText(read.error));
        positionRead_->setStyleSheet(QStringLiteral("color: #b00000"));
    }
    positionRead_->show();
}

void CBearingTable::MakePositionField(QGridLayout* form) {
    position_ = new QLineEdit(this);
    position_->setObjectName(QStringLiteral("bearingPosition"));
    position_->setAccessibleName(QStringLiteral("Position, toute forme"));
    position_->setPlaceholderText(QStringLiteral("ou : 45.9342 6.8375, 32T 334567 5089012, "
                                                 "MGRS, L93..."));
    position_->setToolTip(QStringLiteral(
        "Degrés décimaux, degrés et minutes, degrés minutes secondes, UTM, MGRS ou Lambert 93 ; "
        "rempli, il passe avant la latitude et la longitude ci-dessous"));
    connect(position_, &QLineEdit::returnPressed, this, [this] { OnAdd(); });
    auto* positionLabel = new QLabel(QStringLiteral("&Position"), this);
    positionLabel->setBuddy(position_);
    form->addWidget(positionLabel, 0, 5, 1, 2, Qt::AlignRight);
    form->addWidget(position_, 0, 7, 1, 5);
}

void CBearingTable::MakePositionRead(QVBoxLayout* layout) {
    positionRead_ = new QLabel(this);
    positionRead_->setObjectName(QStringLiteral("bearingPositionRead"));
    positionRead_->setTextFormat(Qt::PlainText);
    positionRead_->setWordWrap(true);
    positionRead_->hide();
    layout->addWidget(positionRead_);
}

bool CBearingTable::ReadPosition(std::optional<double>& latitude, std::optional<double>& longitude,
                                 QString& why) const {
    // The one field, when filled, says where the station is.
    const geodesy::ParsedPosition read = geodesy::ParseCoordinate(position_->text().toStdString());
    if (!read.ok) {
        why = QStringLiteral("Position : ") + EstimateText(read.error);
        return false;
    }
    latitude = read.latitude;
    longitude = read.longitude;
    return true;
}

void CBearingTable::ReadStation(std::optional<double>& latitude, std::optional<double>& longitude,
                                QLineEdit*& wrong, QString& why) const {
    if (!position_->text().trimmed().isEmpty()) {
        if (!ReadPosition(latitude, longitude, why)) {
            wrong = position_;
        }
    } else {
        latitude = ReadAngle(latDeg_, latMin_, latSec_, latHem_->currentIndex() == 1, 90.0, wrong);
        longitude = wrong ? std::nullopt
                          : ReadAngle(lonDeg_, lonMin_, lonSec_, lonHem_->currentIndex() == 1,
                                      180.0, wrong);
    }
}
