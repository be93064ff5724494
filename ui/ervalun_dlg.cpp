#include "ui/ervalun_dlg.h"

#include "data/nearest_position.h"
#include "data/records.h"
#include "engine/calculation.h"
#include "ui/about_dialog.h"
#include "ui/diagram_painter.h"
#include "ui/display_text.h"
#include "ui/form/form_number.h"
#include "ui/form/list_index.h"
#include "ui/geodesic_link.h"
#include "ui/help_window.h"
#include "ui/icons.h"
#include "ui/name_list_model.h"
#include "ui/qt_message_sink.h"
#include "ui/reference_loader.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <array>
#include <cmath>
#include <utility>

namespace {

namespace geodesy = ervalun::geodesy;

using namespace dlgid;

// How long after the dialog shows its files are read at the latest, drawn or not.
constexpr int kLatestReadingStartMs = 100;

// The twelve coordinate edits, in the order ValidateCoordinates reads them; bearings excluded.
constexpr std::array<int, 12> kCoordinateEdits = {kLonDeg1, kLonMin1, kLonSec1, kLatDeg1,
                                                  kLatMin1, kLatSec1, kLonDeg2, kLonMin2,
                                                  kLonSec2, kLatDeg2, kLatMin2, kLatSec2};

// The fourteen input edits whose every change re-runs ValidateCoordinates.
constexpr std::array<int, 14> kInputEdits = {kLonDeg1, kLonMin1,  kLonSec1, kLatDeg1, kLatMin1,
                                             kLatSec1, kBearing1, kLonDeg2, kLonMin2, kLonSec2,
                                             kLatDeg2, kLatMin2,  kLatSec2, kBearing2};

} // namespace

CErvalunDlg::CErvalunDlg(MessageSink* messages, QWidget* parent,
                         std::unique_ptr<CReferenceLoader> started)
    : QDialog(parent), m_engine(std::make_unique<TriangulationEngine>()),
      loader_(started ? std::move(started) : std::make_unique<CReferenceLoader>()) {
    if (messages == nullptr) {
        ownMessages_ = std::make_unique<QtMessageSink>(this);
        messages = ownMessages_.get();
    }
    messages_ = messages;

    setWindowTitle(QStringLiteral("Ervalun"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    CreateControls();
    ConnectCommands();
    OnInitDialog();
}

CErvalunDlg::~CErvalunDlg() {
    // Closed while the files were still read: their thread ends first.
    loader_.reset();
    // The lists show the engine's names; they must not outlive them.
    positionNames_->ShowNames(0, {});
    memberNames_->ShowNames(0, {});
    m_engine.reset();
}

void CErvalunDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!readingAsked_) {
        readingAsked_ = true;
        // Should no drawing come (a window shown minimised), the files are read all the same.
        QTimer::singleShot(kLatestReadingStartMs, this, [this] { StartReading(); });
    }
}

bool CErvalunDlg::event(QEvent* event) {
    // The dialog is drawn first, then its children, all before the events posted meanwhile.
    if (event->type() == QEvent::Paint && readingAsked_ && startUp_ == StartUp::Pending &&
        !loader_->Started()) {
        QMetaObject::invokeMethod(
            this, [this] { StartReading(); }, Qt::QueuedConnection);
    }
    return QDialog::event(event);
}

void CErvalunDlg::StartReading() {
    if (startUp_ != StartUp::Pending || loader_->Started()) {
        return;
    }
    if (loader_->Start()) {
        CompleteWhenRead();
    } else {
        // No thread to be had: the files are read on this one.
        CompleteStartUp();
    }
}

void CErvalunDlg::CompleteWhenRead() {
    // The window's thread ends the start-up when it next handles its events.
    loader_->WhenRead([this] {
        QMetaObject::invokeMethod(
            this, [this] { CompleteStartUp(); }, Qt::QueuedConnection);
    });
}

QWidget* CErvalunDlg::GetDlgItem(int id) const {
    const auto it = items_.find(id);
    return it == items_.end() ? nullptr : it->second;
}

void CErvalunDlg::CreateControls() {
    items_ = CreateDialogTemplate(this);
    static_cast<CDiagramArea*>(GetDlgItem(kDiagram))->paint = [this](QPainter& painter) {
        PaintDiagram(painter);
    };
    positionNames_ = new CNameListModel(this);
    memberNames_ = new CNameListModel(this);
    // Both position lists show the same directory, in the same order: one model serves both.
    for (int id : {kPosition1, kPosition2}) {
        static_cast<QComboBox*>(GetDlgItem(id))->setModel(positionNames_);
    }
    static_cast<QComboBox*>(GetDlgItem(kMembers))->setModel(memberNames_);
}

void CErvalunDlg::ConnectCommands() {
    auto button = [this](int id) { return static_cast<QPushButton*>(GetDlgItem(id)); };
    connect(button(kCalculer), &QPushButton::clicked, this, [this] { OnCalculer(); });
    connect(button(kOk), &QPushButton::clicked, this, [this] { accept(); });
    connect(button(kCancel), &QPushButton::clicked, this, [this] { reject(); });
    connect(button(kHelp), &QPushButton::clicked, this, [this] { OnHelp(); });
    connect(button(kSelectOperator), &QPushButton::clicked, this, [this] { OnSelectOperator(); });
    connect(button(kAddParticipant), &QPushButton::clicked, this, [this] { OnAddParticipant(); });
    for (int id : kInputEdits) {
        connect(static_cast<QLineEdit*>(GetDlgItem(id)), &QLineEdit::textChanged, this,
                [this] { ValidateCoordinates(); });
    }
    // activated comes from the user only: loading the form must not choose a position again.
    connect(static_cast<QComboBox*>(GetDlgItem(kPosition1)), &QComboBox::activated, this,
            [this] { OnPosition1Changed(); });
    connect(static_cast<QComboBox*>(GetDlgItem(kPosition2)), &QComboBox::activated, this,
            [this] { OnPosition2Changed(); });
}

void CErvalunDlg::OnInitDialog() {
    // The template has filled the hemisphere lists.
    UpdateData(false);

    // The window icon and the about entry.
    setWindowIcon(ApplicationIcon());
    // No window menu is reachable on Linux desktops: the about entry sits in the dialog's
    // context menu (right click, Menu key) and in the help window.
    addAction(CreateAboutAction(this));
    // The geodesic check comes after the about entry, with a shortcut of its own.
    auto* geodesic = new QAction(QString::fromUtf8(kGeodesicEntryText), this);
    geodesic->setObjectName(QStringLiteral("geodesicAction"));
    geodesic->setShortcut(QKeySequence(QString::fromLatin1(kGeodesicShortcut)));
    connect(geodesic, &QAction::triggered, this, [this] { OnGeodesicCheck(); });
    addAction(geodesic);
    geodesic_ = new CGeodesicLink(*this, *messages_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    // Lists and buttons would swallow the request; the edits keep their own copy and paste menu.
    for (QWidget* control : findChildren<QWidget*>()) {
        if (qobject_cast<QComboBox*>(control) || qobject_cast<QPushButton*>(control)) {
            control->setContextMenuPolicy(Qt::NoContextMenu);
        }
    }

    // The lists are filled when the files are read (CompleteStartUp); "Calculer" stays
    // disabled until then.
    if (loader_->Started()) {
        ValidateCoordinates();
        CompleteWhenRead();
    } else if (CReferenceLoader::FilesAreShort()) {
        CompleteStartUp();
    } else {
        ValidateCoordinates();
    }

    m_diagramRect = GetDlgItem(kDiagram)->geometry();
    GetDlgItem(kMembers)->setFocus();
}

void CErvalunDlg::CompleteStartUp() {
    // Once only; a message box of the start-up runs the events, which may ask again.
    if (startUp_ != StartUp::Pending) {
        return;
    }
    startUp_ = StartUp::Showing;
    loader_->Finish();
    m_engine->messages = messages_;
    // In the order of a start-up that reads the files one after the other: each file's message,
    // then its list.
    loader_->HandOver(*m_engine,
                      {[this](const std::string& text) { ShowMessage(text); },
                       [this] { FillPositionCombos(); }, [this] { FillMembersCombo(); }});
    startUp_ = StartUp::Done;
    ValidateCoordinates();
}

bool CErvalunDlg::FillPositionCombos() {
    if (m_engine->directoryLoaded) {
        // Read from the engine's list, which stays as it is from now on.
        const std::vector<KnownPosition>& directory = m_engine->directory;
        positionNames_->ShowNames(
            directory.size(),
            [&directory](std::size_t i) -> std::string_view { return directory[i].name; });
        // A list that receives items selects its first one; the form has none selected.
        static_cast<QComboBox*>(GetDlgItem(kPosition1))->setCurrentIndex(m_position1);
        static_cast<QComboBox*>(GetDlgItem(kPosition2))->setCurrentIndex(m_position2);
    }
    return true;
}

bool CErvalunDlg::FillMembersCombo() {
    if (m_engine->rosterLoaded) {
        const std::vector<Member>& roster = m_engine->roster;
        memberNames_->ShowNames(
            roster.size(), [&roster](std::size_t i) -> std::string_view { return roster[i].name; });
        static_cast<QComboBox*>(GetDlgItem(kMembers))->setCurrentIndex(m_member);
    }
    return true;
}

void CErvalunDlg::ShowMessage(const std::string& text) {
    messages_->ShowMessage(text);
}

void CErvalunDlg::accept() {
    OnOK();
}

void CErvalunDlg::reject() {
    OnCancel();
}

void CErvalunDlg::OnOK() {
    OnCalculer();
}

void CErvalunDlg::OnCancel() {
    QDialog::reject();
}

void CErvalunDlg::OnCalculer() {
    // Enter pressed while the files are still read calculates with them.
    CompleteStartUp();
    // A refused number has shown its message; the calculation goes on with the fields as they
    // stand.
    UpdateData(true);
    RunCalculation();
    geodesic_->Follow();
    ClearPositionSelections();
    UpdateData(false);
    // After the load, whose text changes re-ran the validation.
    GetDlgItem(kCalculer)->setEnabled(false);
    GetDlgItem(kDiagram)->update();
}

void CErvalunDlg::RunCalculation() {
    CalculationInput input;
    input.lonDeg1 = m_lonDeg1;
    input.lonMin1 = m_lonMin1;
    input.lonSec1 = m_lonSec1;
    input.lonHem1 = m_lonHem1;
    input.latDeg1 = m_latDeg1;
    input.latMin1 = m_latMin1;
    input.latSec1 = m_latSec1;
    input.latHem1 = m_latHem1;
    input.bearing1 = m_bearing1;
    input.lonDeg2 = m_lonDeg2;
    input.lonMin2 = m_lonMin2;
    input.lonSec2 = m_lonSec2;
    input.lonHem2 = m_lonHem2;
    input.latDeg2 = m_latDeg2;
    input.latMin2 = m_latMin2;
    input.latSec2 = m_latSec2;
    input.latHem2 = m_latHem2;
    input.bearing2 = m_bearing2;
    input.selection1 = m_position1;
    input.selection2 = m_position2;

    const CalculationOutput output = ::RunCalculation(input, *m_engine);

    m_resLonDeg = output.resLonDeg;
    m_resLonMin = output.resLonMin;
    m_resLonSec = output.resLonSec;
    m_resLatDeg = output.resLatDeg;
    m_resLatMin = output.resLatMin;
    m_resLatSec = output.resLatSec;
    m_resLonHem = output.resLonHem;
    m_resLatHem = output.resLatHem;
    m_nearestName = output.nearestName;
    m_calculated = 1;
}

void CErvalunDlg::ClearPositionSelections() {
    m_position1 = -1;
    m_position2 = -1;
}

void CErvalunDlg::ValidateCoordinates() {
    bool entered = false;
    for (int id : kCoordinateEdits) {
        if (static_cast<QLineEdit*>(GetDlgItem(id))->text() != QLatin1String("0")) {
            entered = true;
            break;
        }
    }
    GetDlgItem(kCalculer)->setEnabled(entered && ListsReady());
}

void CErvalunDlg::OnPosition1Changed() {
    CompleteStartUp();
    UpdateData(true);
    if (m_engine->directoryLoaded &&
        ervalun::DesignatesEntry(m_position1, m_engine->directory.size())) {
        m_engine->FillFromPosition(m_engine->directory, m_position1, m_lonDeg1, m_lonMin1,
                                   m_lonSec1, m_latDeg1, m_latMin1, m_latSec1, m_lonHem1,
                                   m_latHem1);
    }
    UpdateData(false);
}

void CErvalunDlg::OnPosition2Changed() {
    CompleteStartUp();
    UpdateData(true);
    if (m_engine->directoryLoaded &&
        ervalun::DesignatesEntry(m_position2, m_engine->directory.size())) {
        m_engine->FillFromPosition(m_engine->directory, m_position2, m_lonDeg2, m_lonMin2,
                                   m_lonSec2, m_latDeg2, m_latMin2, m_latSec2, m_lonHem2,
                                   m_latHem2);
    }
    UpdateData(false);
}

void CErvalunDlg::OnSelectOperator() {
    CompleteStartUp();
    UpdateData(true);
    if (Member* member = SelectedMember()) {
        ApplyRole(*member, ervalun::RoleRules(member->role, m_operatorChosen != 0).selectOperator);
    }
    UpdateData(false);
}

void CErvalunDlg::OnAddParticipant() {
    CompleteStartUp();
    UpdateData(true);
    if (Member* member = SelectedMember()) {
        ApplyRole(*member, ervalun::RoleRules(member->role, m_operatorChosen != 0).addParticipant);
    }
    UpdateData(false);
}

Member* CErvalunDlg::SelectedMember() {
    if (!m_engine->rosterLoaded || !ervalun::DesignatesEntry(m_member, m_engine->roster.size())) {
        return nullptr;
    }
    return &m_engine->roster[static_cast<std::size_t>(m_member)];
}

void CErvalunDlg::ApplyRole(Member& member, const ervalun::RoleOutcome& outcome) {
    if (outcome.message != nullptr) {
        ShowMessage(outcome.message);
        return;
    }
    // The engine's lists get a copy taken once the role is set.
    if (outcome.newRole == ervalun::kOperatorRole) {
        member.role = outcome.newRole;
        m_operatorName = member.name;
        m_operatorChosen = 1;
        m_engine->operators.push_back(member);
    } else if (outcome.newRole == ervalun::kParticipantRole) {
        member.role = outcome.newRole;
        m_participantsText += member.name;
        m_participantsText += "\r\n";
        m_engine->participants.push_back(member);
    }
}

void CErvalunDlg::OnHelp() {
    if (help_ == nullptr) {
        help_ = new CHelpWindow(this);
        // Over the help window, which gets the focus back, so that the next Escape closes the
        // help and not the program.
        connect(help_->AddEntry(QString::fromUtf8(kAboutEntryText), QStringLiteral("helpAbout")),
                &QPushButton::clicked, help_, [this] { RunAboutBox(help_); });
        connect(
            help_->AddEntry(QString::fromUtf8(kGeodesicEntryText), QStringLiteral("helpGeodesic")),
            &QPushButton::clicked, this, [this] { OnGeodesicCheck(); });
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void CErvalunDlg::OnGeodesicCheck() {
    geodesic_->Open();
}

CGeodesicWindow* CErvalunDlg::GeodesicWindow() const {
    return geodesic_->Window();
}

const std::optional<ervalun::geodesy::CheckFigures>& CErvalunDlg::GeodesicFigures() const {
    return geodesic_->Figures();
}

void CErvalunDlg::PaintDiagram(QPainter& painter) {
    // Composed off screen and copied in one block, so a repaint never flickers.
    // A start-up message box shows the dialog before its initialisation has measured the
    // area; the area's own size stands in until then.
    const QSize size =
        m_diagramRect.isEmpty() ? GetDlgItem(kDiagram)->size() : m_diagramRect.size();
    painter.drawImage(0, 0,
                      RenderDiagram(size.width(), size.height(), m_calculated == 1,
                                    m_engine->position1, m_engine->position2, m_engine->result));
}
