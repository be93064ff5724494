#pragma once

#include "engine/triangulation_engine.h"
#include "geodesy/geodesic_check.h"
#include "ui/geodesic_window.h"

#include <QDialog>
#include <QRect>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

class CGeodesicWindow;
class CHelpWindow;
class QFont;
class QPainter;
class QStringListModel;

// Identifiers of the controls of the main dialog's template; every control is found by its
// identifier through GetDlgItem and carries the object name "ctl" followed by it.
namespace dlgid {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kLonDeg1 = 1000;
inline constexpr int kLonMin1 = 1001;
inline constexpr int kLonSec1 = 1002;
inline constexpr int kBearing1 = 1003;
inline constexpr int kLatDeg1 = 1004;
inline constexpr int kLatMin1 = 1005;
inline constexpr int kLatSec1 = 1006;
inline constexpr int kLonDeg2 = 1007;
inline constexpr int kLonMin2 = 1008;
inline constexpr int kLonSec2 = 1009;
inline constexpr int kLatDeg2 = 1010;
inline constexpr int kLatMin2 = 1011;
inline constexpr int kLatSec2 = 1012;
inline constexpr int kBearing2 = 1013;
inline constexpr int kCalculer = 1014;
inline constexpr int kResLonDeg = 1015;
inline constexpr int kResLonMin = 1016;
inline constexpr int kResLonSec = 1017;
inline constexpr int kResLatDeg = 1018;
inline constexpr int kResLatMin = 1019;
inline constexpr int kResLatSec = 1020;
inline constexpr int kLonHem1 = 1021;
inline constexpr int kLatHem1 = 1022;
inline constexpr int kLonHem2 = 1023;
inline constexpr int kLatHem2 = 1024;
inline constexpr int kResLonHem = 1025;
inline constexpr int kResLatHem = 1026;
inline constexpr int kPosition1 = 1027;
inline constexpr int kPosition2 = 1028;
inline constexpr int kNearestName = 1030;
inline constexpr int kMembers = 1031;
inline constexpr int kSelectOperator = 1032;
inline constexpr int kAddParticipant = 1033;
inline constexpr int kDiagram = 1038;
inline constexpr int kOperatorName = 1039;
inline constexpr int kParticipants = 1040;
inline constexpr int kHelp = 57670;
} // namespace dlgid

// The area of the black frame 1038. It paints nothing of its own: its paint event hands a
// painter to the dialog, so that the off-screen composition and the repaint stay the dialog's.
class CDiagramArea : public QWidget {
    Q_OBJECT
public:
    explicit CDiagramArea(QWidget* parent);
    std::function<void(QPainter&)> paint;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The main dialog: the form of one calculation, the two reference lists and the roll of the
// exercise. It owns the engine for its whole life.
class CErvalunDlg : public QDialog {
    Q_OBJECT
public:
    // messages receives every message of the dialog and of the engine's readers; without one the
    // dialog shows modal message boxes. Construction runs the whole initialisation, reading
    // "ervalun.txt" and "operateurs.txt" from the current directory.
    explicit CErvalunDlg(MessageSink* messages = nullptr, QWidget* parent = nullptr);
    ~CErvalunDlg() override;
    CErvalunDlg(const CErvalunDlg&) = delete;
    CErvalunDlg& operator=(const CErvalunDlg&) = delete;

    // The control of the template with this identifier, or null.
    QWidget* GetDlgItem(int id) const;

    // Form exchange. save: controls to fields, stopping at the first refused number (message,
    // focus on that edit, later fields unchanged); returns false then. Otherwise fields to
    // controls.
    bool UpdateData(bool save = true);

    // The font of the dialog's template, and the one its dialog units are measured with.
    static QFont DialogFont();

    // Commands.
    void OnCalculer();
    void OnOK();
    void OnCancel();
    void ValidateCoordinates();
    void OnPosition1Changed();
    void OnPosition2Changed();
    void OnSelectOperator();
    void OnAddParticipant();
    void OnHelp();
    // Opens the non-modal "Contrôle géodésique" window, or brings it to the front.
    void OnGeodesicCheck();

    void RunCalculation();
    void ClearPositionSelections();

    // Paints the area of frame 1038; painter's origin is the area's top-left corner.
    void PaintDiagram(QPainter& painter);

    MessageSink* Messages() const { return messages_; }
    CHelpWindow* HelpWindow() const { return help_; }
    CGeodesicWindow* GeodesicWindow() const { return geodesic_; }
    // The geodesic check of the last calculation; none before the first.
    const std::optional<ervalun::geodesy::CheckFigures>& GeodesicFigures() const {
        return geodesicFigures_;
    }

    // Enter and "OK" calculate and keep the dialog open; Escape, "Annuler" and the close box end
    // it.
    void accept() override;
    void reject() override;

    // The form, in the order of its fields.
    QRect m_diagramRect;
    std::unique_ptr<TriangulationEngine> m_engine;
    int m_calculated = 0;
    int m_operatorChosen = 0;
    double m_lonDeg1 = 0.0, m_lonMin1 = 0.0, m_lonSec1 = 0.0;
    double m_latDeg1 = 0.0, m_latMin1 = 0.0, m_latSec1 = 0.0;
    double m_bearing1 = 0.0;
    double m_lonDeg2 = 0.0, m_lonMin2 = 0.0, m_lonSec2 = 0.0;
    double m_latDeg2 = 0.0, m_latMin2 = 0.0, m_latSec2 = 0.0;
    double m_bearing2 = 0.0;
    double m_resLonDeg = 0.0, m_resLonMin = 0.0, m_resLonSec = 0.0;
    double m_resLatDeg = 0.0, m_resLatMin = 0.0, m_resLatSec = 0.0;
    int m_lonHem1 = 0, m_lonHem2 = 0, m_latHem1 = 0, m_latHem2 = 0;
    std::string m_resLonHem = "E";
    std::string m_resLatHem = "N";
    int m_position1 = -1, m_position2 = -1;
    std::string m_nearestName;
    int m_member = -1;
    std::string m_operatorName;
    std::string m_participantsText;

protected:
    void OnInitDialog();
    bool FillPositionCombos();
    bool FillMembersCombo();

private:
    void CreateControls();
    void ConnectCommands();
    void ShowMessage(const std::string& text);
    // The geodesic check of the calculation just run, shown in the result fields' tooltips and
    // in the window when it is open.
    void UpdateGeodesicCheck();
    void ShowGeodesicCheck();
    void SetResultTooltips();

    std::unique_ptr<MessageSink> ownMessages_;
    MessageSink* messages_ = nullptr;
    std::map<int, QWidget*> items_;
    QStringListModel* positionNames_ = nullptr;
    QStringListModel* memberNames_ = nullptr;
    CHelpWindow* help_ = nullptr;
    CGeodesicWindow* geodesic_ = nullptr;
    GeodesicSettings geodesicSettings_;
    std::optional<ervalun::geodesy::CheckFigures> geodesicFigures_;
};
