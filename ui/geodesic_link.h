#pragma once

#include "data/message_sink.h"
#include "geodesy/geodesic_check.h"
#include "ui/geodesic_window.h"

#include <QObject>

#include <optional>

class CErvalunDlg;
class CGeodesicWindow;

// What ties the dialog to its "Contrôle géodésique" window: the user's settings of the check,
// the check of the last calculation, the result fields' tooltips, and the window itself, made
// when it is first asked for. The dialog owns it and calls Open and Follow.
class CGeodesicLink : public QObject {
    Q_OBJECT
public:
    // messages: where the window's messages go, the dialog's own.
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

    CErvalunDlg& dialog_;
    MessageSink& messages_;
    CGeodesicWindow* window_ = nullptr;
    GeodesicSettings settings_;
    std::optional<ervalun::geodesy::CheckFigures> figures_;
};
