// The station's position typed in one field, in any form the field uses.
#include "geodesy/coordinate_formats.h"
#include "ui/bearing_table.h"
#include "ui/estimate_panel.h"

#include <QLabel>

namespace geodesy = ervalun::geodesy;

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
