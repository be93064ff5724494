#include "ui/north_choice.h"

#include <QComboBox>

#include <string>

namespace {

namespace geodesy = ervalun::geodesy;

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QStringList NorthChoiceNames(bool withManual) {
    QStringList names;
    for (const geodesy::NorthReference reference :
         {geodesy::NorthReference::True, geodesy::NorthReference::Magnetic,
          geodesy::NorthReference::Lambert93, geodesy::NorthReference::Utm}) {
        names << Utf8(geodesy::FrenchName(reference));
    }
    if (withManual) {
        names << QStringLiteral("déclinaison manuelle");
    }
    return names;
}

int NorthChoiceOf(const QString& name, bool withManual) {
    return static_cast<int>(NorthChoiceNames(withManual).indexOf(name));
}

QComboBox* MakeNorthCombo(QWidget* parent, const char* objectName, const QString& accessibleName,
                          bool withManual) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(objectName));
    combo->setAccessibleName(accessibleName);
    combo->addItems(NorthChoiceNames(withManual));
    return combo;
}

geodesy::NorthCorrection ObservationCorrection(int choice, double manualDeclination, double azimuth,
                                               const geodesy::Station& station,
                                               const geodesy::CalendarDate& date) {
    if (choice != kManualNorthChoice) {
        return geodesy::ToTrueNorth(azimuth, static_cast<geodesy::NorthReference>(choice), station,
                                    date);
    }
    geodesy::NorthCorrection correction;
    correction.ok = true;
    correction.correction = manualDeclination;
    correction.azimuth = geodesy::NormalizeAzimuth(azimuth + manualDeclination);
    correction.text = station.name + " : déclinaison manuelle " +
                      geodesy::FormatSignedDegreesFr(manualDeclination);
    return correction;
}

geodesy::NorthCorrection RowCorrection(const geodesy::BearingRow& row) {
    return geodesy::ToTrueNorth(row.azimuth, row.north,
                                {row.name, row.latitude, row.longitude, 0.0}, row.date);
}

QString NorthCellText(const geodesy::BearingRow& row) {
    QString text = Utf8(geodesy::FrenchName(row.north));
    if (row.north == geodesy::NorthReference::Magnetic) {
        text += QLatin1Char(' ') + Utf8(geodesy::FormatDateFr(row.date));
    }
    return text;
}
