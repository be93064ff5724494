#pragma once

#include "geodesy/bearing_rows.h"
#include "geodesy/north_reference.h"

#include <QString>
#include <QStringList>

class QComboBox;
class QWidget;

// The north a bearing of the geodesic window is read from, as the user picks it: the four
// references of the geodesy library, in their order, and for the dialog's two observations a
// fifth, a declination the user types (what the window offered before the magnetic model, kept
// so that nobody's setting is lost).
inline constexpr int kTrueNorthChoice = static_cast<int>(ervalun::geodesy::NorthReference::True);
inline constexpr int kMagneticNorthChoice =
    static_cast<int>(ervalun::geodesy::NorthReference::Magnetic);
inline constexpr int kManualNorthChoice = 4;

// "vrai", "magnétique", "Lambert 93", "UTM", then "déclinaison manuelle" when asked for.
QStringList NorthChoiceNames(bool withManual);
// The choice of a name, as the settings keep it; -1 for none.
int NorthChoiceOf(const QString& name, bool withManual);
QComboBox* MakeNorthCombo(QWidget* parent, const char* objectName, const QString& accessibleName,
                          bool withManual);

// A dialog observation's azimuth made true: by the reference of the choice at the station on
// the date, or by the manual declination.
ervalun::geodesy::NorthCorrection ObservationCorrection(int choice, double manualDeclination,
                                                        double azimuth,
                                                        const ervalun::geodesy::Station& station,
                                                        const ervalun::geodesy::CalendarDate& date);
// A row's azimuth made true, by its own north and date.
ervalun::geodesy::NorthCorrection RowCorrection(const ervalun::geodesy::BearingRow& row);
// The table's "Nord" cell: the reference, and the date when the magnetic model needs it.
QString NorthCellText(const ervalun::geodesy::BearingRow& row);
