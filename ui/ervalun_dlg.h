#pragma once

#include "engine/triangulation_engine.h"
#include "geodesy/geodesic_check.h"
#include "ui/dialog_template.h"
#include "ui/form/member_roles.h"
#include "ui/reference_loader.h"

#include <QDialog>
#include <QEvent>
#include <QRect>
#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CGeodesicLink;
class CGeodesicWindow;
class CHelpWindow;
class CNameListModel;
class QPainter;

// The main dialog: the form of one calculation, the two reference lists and the roll of the
// exercise. It owns the engine for its whole life.
class CErvalunDlg : public QDialog {
    Q_OBJECT
public:
    // messages receives every message of the dialog and of the engine's readers; without one the
    // dialog shows modal message boxes. Construction runs the initialisation, reading
    // "ervalun.txt" and then "operateurs.txt" from the current directory when they are of a
    // usual size (up to 1 MiB together). Longer files are read and sorted on a thread of their
    // own once the dialog is first shown, so that it appears at once, and the start-up then
    // ends on the window's thread (CompleteStartUp). A loader given already started (the
    // program starts it before Qt) is the one whose reading the start-up waits for.
    explicit CErvalunDlg(MessageSink* messages = nullptr, QWidget* parent = nullptr,
                         std::unique_ptr<CReferenceLoader> started = nullptr);
    ~CErvalunDlg() override;
    CErvalunDlg(const CErvalunDlg&) = delete;
    CErvalunDlg& operator=(const CErvalunDlg&) = delete;

    // The control of the template with this identifier, or null.
    QWidget* GetDlgItem(int id) const;

    // Ends the start-up, once: waits for the reference files to be read (or reads them here if
    // their reading has not started), shows the directory's message and fills the position
    // lists, shows the roster's message and fills the members list, tells a misplaced
    // hemisphere letter, then validates the form. Until then the lists are empty and "Calculer"
    // is disabled. It runs by itself as soon as the files are read; every command that uses the
    // lists or the engine calls it first.
    void CompleteStartUp();
    bool ListsReady() const { return startUp_ == StartUp::Done; }

    // Form exchange (ui/form_exchange.cpp). save: controls to fields, stopping at the first
    // refused number (message, focus on that edit, later fields unchanged); returns false then.
    // Otherwise fields to controls.
    bool UpdateData(bool save = true);

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

    CHelpWindow* HelpWindow() const { return help_; }
    CGeodesicWindow* GeodesicWindow() const;
    // The geodesic check of the last calculation; none before the first.
    const std::optional<ervalun::geodesy::CheckFigures>& GeodesicFigures() const;

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
    // Once the dialog is first shown and drawn, its files start to be read: reading them while
    // it is drawn would take a core from the drawing, which shares its work among the cores.
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void OnInitDialog();
    bool FillPositionCombos();
    bool FillMembersCombo();

private:
    enum class StartUp { Pending, Showing, Done };

    void StartReading();
    // Asks the loader's thread to end the start-up on the window's thread once it has read.
    void CompleteWhenRead();
    void CreateControls();
    void ConnectCommands();
    void ShowMessage(const std::string& text);
    // The member the members list designates, or null (none selected, or no roster).
    Member* SelectedMember();
    // Gives the member the role a button's rules decided, or shows why not.
    void ApplyRole(Member& member, const ervalun::RoleOutcome& outcome);

    std::unique_ptr<MessageSink> ownMessages_;
    MessageSink* messages_ = nullptr;
    std::map<int, QWidget*> items_;
    CNameListModel* positionNames_ = nullptr;
    CNameListModel* memberNames_ = nullptr;
    StartUp startUp_ = StartUp::Pending;
    bool readingAsked_ = false;
    // Reads the reference files; its thread, if any, is joined when the dialog goes.
    std::unique_ptr<CReferenceLoader> loader_;
    CHelpWindow* help_ = nullptr;
    // The geodesic check and its window; a child of the dialog.
    CGeodesicLink* geodesic_ = nullptr;
};
