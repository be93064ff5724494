#pragma once

#include "data/message_sink.h"
#include "geodesy/field_export.h"
#include "geodesy/geodesic_check.h"
#include "ui/north_choice.h"

#include <QDialog>

#include <optional>

class CBearingsPage;
class CCoordinatesPanel;
class QComboBox;
class QDialogButtonBox;
class QTabWidget;
class QDoubleSpinBox;
class QLabel;

// What the user sets for the geodesic check, kept between runs in the user's settings.
struct GeodesicSettings {
    double bearingError = 1.0; // degrees
    // The north of each dialog observation, a choice of NorthChoiceNames(true). "vrai" for a
    // fresh user: the form's bearings feed the flat calculation, which takes them as true, and
    // the check compares with it. Table rows added by hand are magnetic by default instead.
    int north[2] = {kTrueNorthChoice, kTrueNorthChoice};
    // The declination of the manual choice, degrees, east positive.
    double declination = 0.0;

    // The single declination setting of earlier versions, if not zero, becomes the manual
    // choice of both observations; its key is then removed, so that it is read once.
    static GeodesicSettings Load();
    void Save() const;
};

// The entry that opens the window, for whichever menu or button offers it, and its shortcut.
inline constexpr char kGeodesicEntryText[] = "Contrôle &géodésique...";
inline constexpr char kGeodesicShortcut[] = "Ctrl+G";

// "Contrôle géodésique": where the bearings of the last calculation really cross on the WGS84
// ellipsoid, how far that is from the flat fix on the form, and how firm it is; on a second
// page, the estimate from as many bearings as the user adds (CBearingsPage). Not modal: it
// stays open beside the dialog and follows each calculation. It only shows the figures the
// geodesy library computes; the bearing error and the north of the dialog's observations set
// here go back to the owner through settingsChanged.
class CGeodesicWindow : public QDialog {
    Q_OBJECT
public:
    explicit CGeodesicWindow(const GeodesicSettings& settings, QWidget* parent = nullptr);

    // The figures of the last calculation; none before the first.
    void ShowFigures(const std::optional<ervalun::geodesy::CheckFigures>& figures);
    GeodesicSettings Settings() const;
    // The page of the bearings table.
    CBearingsPage* Bearings() const { return bearings_; }
    // How each dialog observation was made true, or why it could not be.
    void ShowNorth(const QStringList& texts);

    // Where the export's and the map's failures are told; none: not told.
    void SetMessages(MessageSink* messages) { messages_ = messages; }
    // What the files and carte.html show: the bearings' estimate and the last figures.
    ervalun::geodesy::FieldScene Scene() const;
    // Writes the scene to path, in the format of its suffix or else of the filter (see
    // ExportScene); a failure is told. False when it failed.
    bool Export(const QString& path, const QString& filter = {});
    // Asks for a file and exports there.
    void OnExport();
    // Opens carte.html in the desktop's browser, or says why not.
    void OpenMap();

signals:
    void settingsChanged();

private:
    // A label and its value on a new row of the grid; the label is left in rowLabel_.
    QLabel* AddRow(class QGridLayout* grid, const QString& label, const char* objectName);
    void OnSettingEdited();
    void ShowTexts(const std::optional<ervalun::geodesy::CheckFigures>& figures);
    // The coordinates page and the buttons that hand the answer to the field.
    void AddFieldTools(QTabWidget* tabs, QDialogButtonBox* buttons);
    // After each estimate: the coordinates shown and carte.html written again.
    void OnEstimated();

    class QGridLayout* grid_ = nullptr;
    QLabel* rowLabel_ = nullptr;
    QLabel* verdict_ = nullptr;
    QLabel* fix_ = nullptr;
    QLabel* flat_ = nullptr;
    QLabel* offset_ = nullptr;
    QLabel* distance1_ = nullptr;
    QLabel* distance2_ = nullptr;
    QLabel* knownLabel_ = nullptr;
    QLabel* known_ = nullptr;
    QLabel* angle_ = nullptr;
    QLabel* spreadLabel_ = nullptr;
    QLabel* spread_ = nullptr;
    QLabel* north_ = nullptr;
    QDoubleSpinBox* error_ = nullptr;
    QComboBox* north1_ = nullptr;
    QComboBox* north2_ = nullptr;
    QDoubleSpinBox* declination_ = nullptr;
    CBearingsPage* bearings_ = nullptr;
    CCoordinatesPanel* coordinates_ = nullptr;
    MessageSink* messages_ = nullptr;
    std::optional<ervalun::geodesy::CheckFigures> figures_;
    // Why carte.html could not be written the last time; empty when it was.
    std::string mapError_;
};

// The tooltip text of the result fields: the distance from the flat fix on the form to the
// geodesic fix, or why there is none. Plain text, one line or two.
QString GeodesicTooltipLine(const ervalun::geodesy::CheckFigures& figures);
