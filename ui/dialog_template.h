#pragma once

#include <QFont>
#include <QWidget>

#include <functional>
#include <map>

class QPainter;

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
// painter to its owner, so that the off-screen composition and the repaint stay the owner's.
class CDiagramArea : public QWidget {
    Q_OBJECT
public:
    explicit CDiagramArea(QWidget* parent);
    std::function<void(QPainter&)> paint;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The font of the main dialog's template; its dialog units are measured with it.
QFont DialogTemplateFont();

// Builds the main dialog's template into parent: gives parent the template's font and fixed
// size, and makes every control at its place in template order, which is also the tab order.
// The four hemisphere lists hold their letters and the three legend icons their pictures; the
// other lists are empty. Returns the controls that have an identifier, by identifier; frame
// 1038 is a CDiagramArea.
std::map<int, QWidget*> CreateDialogTemplate(QWidget* parent);
