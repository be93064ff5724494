#pragma once

#include "data/message_sink.h"
#include "geodesy/bearing_rows.h"
#include "geodesy/geodesic_check.h"
#include "ui/geodesic_window.h"

#include <QObject>

#include <optional>
#include <vector>

class CErvalunDlg;
class CGeodesicWindow;

// What ties the dialog to its "Contrôle géodésique" window: the user's settings of the check,
// the check of the last calculation, the result fields' tooltips, and the window itself, made
// when it is first asked for, with the bearings table: the dialog's two observations after each
// calculation and the rows the user added, read back from the working folder at start-up. The
// dialog owns it and calls Open and Follow.
class CGeodesicLink : public QObject {
    Q_OBJECT
public:
    // messages: where the window's messages go, the dialog's own. Reads the rows file, telling
    // there the lines left out.
    CGeodesicLink(CErvalunDlg& dialog, MessageSink& messages);

    // Opens the non-modal window, or brings it to the front.
    void Open();
    // After a calculation: checks it, shows it in the result fields' tooltips and in the window
    // when it is open.
    void Follow();

    CGeodesicWindow* Window() const { return window_; }
    const std::optional<ervalun::geodesy::CheckFigures>& Figures() const { return figures_; }

private:
    void OnSettingsChanged();
    void Show();
    void SetResultTooltips();
    // The dialog's two observations as the last calculation used them.
    void MakeDialogRows();
    // The check of input, each bearing made true by the north set for it; the bearings as
    // typed when one cannot be, which the window's north line says.
    void Check(const ervalun::geodesy::CheckInput& input);
    // The window's north line and the first two rows of its table.
    void ShowNorth();
    void GiveDirectory();
    // carte.html after a calculation made while the window is not.
    void WriteMapWithoutWindow();

    CErvalunDlg& dialog_;
    MessageSink& messages_;
    CGeodesicWindow* window_ = nullptr;
    GeodesicSettings settings_;
    std::optional<ervalun::geodesy::CheckFigures> figures_;
    // Until the window is made.
    std::vector<ervalun::geodesy::BearingRow> savedRows_;
    std::vector<ervalun::geodesy::BearingRow> dialogRows_;
    std::vector<ervalun::geodesy::NorthCorrection> corrections_;
};
