#include "ui/ervalun_dlg.h"

#include "data/records.h"
#include "engine/calculation.h"
#include "ui/about_dialog.h"
#include "ui/diagram_painter.h"
#include "ui/dialog_units.h"
#include "ui/display_text.h"
#include "ui/form/form_number.h"
#include "ui/geodesic_window.h"
#include "ui/help_window.h"
#include "ui/hemisphere_list.h"
#include "ui/icons.h"
#include "ui/qt_message_sink.h"

#include <QAction>
#include <QComboBox>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringListModel>
#include <QVBoxLayout>

#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// The main dialog's template: every control in template order, which is also the tab order.
// Positions are in dialog units; id 0 marks labels and frames without an identifier.
enum class Kind {
    Group,
    Label,
    List,
    HemisphereList,
    Button,
    DefaultButton,
    Edit,
    ResultEdit,
    LinesEdit,
    Frame,
    Icon
};

struct TemplateItem {
    Kind kind;
    int id;
    const char* text; // UTF-8
    int x, y, width, height;
    const char* accessibleName; // UTF-8; empty for decoration
};

using namespace dlgid;

// clang-format off
const TemplateItem kTemplate[] = {
    {Kind::Group, 0, "Opérateurs", 4, 8, 96, 172, ""},
    {Kind::Label, 0, "Membres", 12, 18, 30, 8, ""},
    {Kind::List, kMembers, "", 12, 31, 80, 36, "Membres"},
    {Kind::Button, kSelectOperator, "Sélectionner &Opérateur", 12, 50, 80, 12, "Sélectionner Opérateur"},
    {Kind::Button, kAddParticipant, "Ajouter &Participant", 12, 66, 80, 12, "Ajouter Participant"},
    {Kind::Label, 0, "Opérateur", 12, 86, 32, 8, ""},
    {Kind::Label, 0, "Participants", 12, 112, 38, 8, ""},
    {Kind::Group, 0, "1ère coordonnée", 4, 184, 136, 120, ""},
    {Kind::Label, 0, "position", 12, 196, 25, 8, ""},
    {Kind::List, kPosition1, "", 12, 204, 120, 36, "1ère coordonnée, position connue"},
    {Kind::Label, 0, "longitude", 12, 218, 30, 8, ""},
    {Kind::Edit, kLonDeg1, "", 12, 228, 32, 13, "1ère coordonnée, longitude, degrés"},
    {Kind::Edit, kLonMin1, "", 44, 228, 32, 13, "1ère coordonnée, longitude, minutes"},
    {Kind::Edit, kLonSec1, "", 76, 228, 32, 13, "1ère coordonnée, longitude, secondes"},
    {Kind::HemisphereList, kLonHem1, "", 108, 228, 25, 38, "Hémisphère de longitude, point 1"},
    {Kind::Label, 0, "latitude", 12, 244, 24, 8, ""},
    {Kind::Edit, kLatDeg1, "", 12, 252, 32, 13, "1ère coordonnée, latitude, degrés"},
    {Kind::Edit, kLatMin1, "", 44, 252, 32, 13, "1ère coordonnée, latitude, minutes"},
    {Kind::Edit, kLatSec1, "", 76, 252, 32, 13, "1ère coordonnée, latitude, secondes"},
    {Kind::HemisphereList, kLatHem1, "", 108, 252, 25, 38, "Hémisphère de latitude, point 1"},
    {Kind::Label, 0, "azimut", 12, 271, 21, 8, ""},
    {Kind::Edit, kBearing1, "", 12, 279, 32, 14, "1ère coordonnée, azimut, degrés"},
    {Kind::Group, 0, "2ème coordonnée", 148, 184, 136, 120, ""},
    {Kind::Label, 0, "position", 156, 197, 25, 8, ""},
    {Kind::List, kPosition2, "", 156, 206, 120, 36, "2ème coordonnée, position connue"},
    {Kind::Label, 0, "longitude", 156, 220, 30, 8, ""},
    {Kind::Edit, kLonDeg2, "", 156, 229, 32, 13, "2ème coordonnée, longitude, degrés"},
    {Kind::Edit, kLonMin2, "", 188, 229, 32, 13, "2ème coordonnée, longitude, minutes"},
    {Kind::Edit, kLonSec2, "", 220, 229, 32, 13, "2ème coordonnée, longitude, secondes"},
    {Kind::HemisphereList, kLonHem2, "", 252, 229, 26, 40, "Hémisphère de longitude, point 2"},
    {Kind::Label, 0, "latitude", 156, 245, 24, 8, ""},
    {Kind::Edit, kLatDeg2, "", 156, 253, 32, 13, "2ème coordonnée, latitude, degrés"},
    {Kind::Edit, kLatMin2, "", 188, 253, 32, 13, "2ème coordonnée, latitude, minutes"},
    {Kind::Edit, kLatSec2, "", 220, 253, 32, 13, "2ème coordonnée, latitude, secondes"},
    {Kind::HemisphereList, kLatHem2, "", 252, 253, 26, 40, "Hémisphère de latitude, point 2"},
    {Kind::Label, 0, "azimut", 156, 272, 21, 8, ""},
    {Kind::Edit, kBearing2, "", 156, 280, 32, 14, "2ème coordonnée, azimut, degrés"},
    {Kind::Button, kCalculer, "&Calculer", 108, 116, 64, 64, "Calculer"},
    {Kind::Group, 0, "Résultat", 108, 8, 136, 100, ""},
    {Kind::Label, 0, "Position proche", 116, 20, 50, 9, ""},
    {Kind::ResultEdit, kNearestName, "", 116, 31, 120, 13, "Résultat, position connue la plus proche"},
    {Kind::Label, 0, "Longitude", 116, 49, 32, 8, ""},
    {Kind::ResultEdit, kResLonDeg, "", 116, 60, 32, 14, "Résultat, longitude, degrés"},
    {Kind::ResultEdit, kResLonMin, "", 148, 60, 32, 14, "Résultat, longitude, minutes"},
    {Kind::ResultEdit, kResLonSec, "", 180, 60, 32, 14, "Résultat, longitude, secondes"},
    {Kind::ResultEdit, kResLonHem, "", 212, 60, 26, 14, "Résultat, longitude, est ou ouest"},
    {Kind::Label, 0, "Latitude", 116, 76, 26, 8, ""},
    {Kind::ResultEdit, kResLatDeg, "", 116, 84, 32, 14, "Résultat, latitude, degrés"},
    {Kind::ResultEdit, kResLatMin, "", 148, 84, 32, 14, "Résultat, latitude, minutes"},
    {Kind::ResultEdit, kResLatSec, "", 180, 84, 32, 14, "Résultat, latitude, secondes"},
    {Kind::ResultEdit, kResLatHem, "", 212, 84, 26, 14, "Résultat, latitude, nord ou sud"},
    {Kind::Frame, kDiagram, "", 220, 116, 64, 64, "Diagramme des azimuts"},
    {Kind::DefaultButton, kOk, "OK", 252, 12, 50, 14, "OK"},
    {Kind::Button, kCancel, "Annuler", 252, 28, 50, 14, "Annuler"},
    {Kind::Button, kHelp, "&?", 252, 44, 50, 14, "Aide"},
    // The three legend icons are 32 x 32 pixels whatever the font; the ids are their resources.
    {Kind::Icon, 130, "", 112, 272, 0, 0, "Légende : premier point"},
    {Kind::Icon, 131, "", 256, 272, 0, 0, "Légende : second point"},
    {Kind::Icon, 132, "", 184, 136, 0, 0, "Légende : résultat"},
    {Kind::ResultEdit, kOperatorName, "", 12, 96, 80, 12, "Opérateur"},
    {Kind::LinesEdit, kParticipants, "", 12, 124, 80, 48, "Participants"},
};
// clang-format on

constexpr int kIconSize = 32;

// The form's bindings, in the order the form is stored: the numbers first (so that a refused
// number leaves every later field as it was), then the lists and texts.
enum class Exchange { Number, Index, Text, Lines };

struct FormBinding {
    int id;
    Exchange kind;
    double CErvalunDlg::*number;
    int CErvalunDlg::*index;
    std::string CErvalunDlg::*text;
    // Shown by a read-only control: the field is the truth and is never read back. Reading the
    // result numbers back would refuse a result beyond 360 degrees and block every later store.
    bool loadOnly;
};

constexpr FormBinding Number(int id, double CErvalunDlg::*field) {
    return {id, Exchange::Number, field, nullptr, nullptr, false};
}
constexpr FormBinding Result(int id, double CErvalunDlg::*field) {
    return {id, Exchange::Number, field, nullptr, nullptr, true};
}
constexpr FormBinding Index(int id, int CErvalunDlg::*field) {
    return {id, Exchange::Index, nullptr, field, nullptr, false};
}
constexpr FormBinding Text(int id, std::string CErvalunDlg::*field) {
    return {id, Exchange::Text, nullptr, nullptr, field, true};
}
constexpr FormBinding Lines(int id, std::string CErvalunDlg::*field) {
    return {id, Exchange::Lines, nullptr, nullptr, field, true};
}

const FormBinding kBindings[] = {
    Number(kLonDeg1, &CErvalunDlg::m_lonDeg1),
    Number(kLonMin1, &CErvalunDlg::m_lonMin1),
    Number(kLonSec1, &CErvalunDlg::m_lonSec1),
    Number(kLatDeg1, &CErvalunDlg::m_latDeg1),
    Number(kLatMin1, &CErvalunDlg::m_latMin1),
    Number(kLatSec1, &CErvalunDlg::m_latSec1),
    Number(kBearing1, &CErvalunDlg::m_bearing1),
    Number(kLonDeg2, &CErvalunDlg::m_lonDeg2),
    Number(kLonMin2, &CErvalunDlg::m_lonMin2),
    Number(kLonSec2, &CErvalunDlg::m_lonSec2),
    Number(kLatDeg2, &CErvalunDlg::m_latDeg2),
    Number(kLatMin2, &CErvalunDlg::m_latMin2),
    Number(kLatSec2, &CErvalunDlg::m_latSec2),
    Number(kBearing2, &CErvalunDlg::m_bearing2),
    Result(kResLonDeg, &CErvalunDlg::m_resLonDeg),
    Result(kResLonMin, &CErvalunDlg::m_resLonMin),
    Result(kResLonSec, &CErvalunDlg::m_resLonSec),
    Result(kResLatDeg, &CErvalunDlg::m_resLatDeg),
    Result(kResLatMin, &CErvalunDlg::m_resLatMin),
    Result(kResLatSec, &CErvalunDlg::m_resLatSec),
    Index(kLonHem1, &CErvalunDlg::m_lonHem1),
    Index(kLonHem2, &CErvalunDlg::m_lonHem2),
    Index(kLatHem1, &CErvalunDlg::m_latHem1),
    Index(kLatHem2, &CErvalunDlg::m_latHem2),
    Text(kResLonHem, &CErvalunDlg::m_resLonHem),
    Text(kResLatHem, &CErvalunDlg::m_resLatHem),
    Index(kPosition1, &CErvalunDlg::m_position1),
    Index(kPosition2, &CErvalunDlg::m_position2),
    Text(kNearestName, &CErvalunDlg::m_nearestName),
    Index(kMembers, &CErvalunDlg::m_member),
    Text(kOperatorName, &CErvalunDlg::m_operatorName),
    Lines(kParticipants, &CErvalunDlg::m_participantsText),
};

// The twelve coordinate edits, in the order ValidateCoordinates reads them; bearings excluded.
constexpr std::array<int, 12> kCoordinateEdits = {kLonDeg1, kLonMin1, kLonSec1, kLatDeg1,
                                                  kLatMin1, kLatSec1, kLonDeg2, kLonMin2,
                                                  kLonSec2, kLatDeg2, kLatMin2, kLatSec2};

// The fourteen input edits whose every change re-runs ValidateCoordinates.
constexpr std::array<int, 14> kInputEdits = {kLonDeg1, kLonMin1,  kLonSec1, kLatDeg1, kLatMin1,
                                             kLatSec1, kBearing1, kLonDeg2, kLonMin2, kLonSec2,
                                             kLatDeg2, kLatMin2,  kLatSec2, kBearing2};

const char* const kNotANumberMessage = "Entrez un nombre.";
const char* const kOutOfRangeMessage = "Entrez un nombre compris entre 0 et 360.";

bool IsEntry(int index, std::size_t size) {
    return index >= 0 && static_cast<std::size_t>(index) < size;
}

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

CDiagramArea::CDiagramArea(QWidget* parent) : QWidget(parent) {
    // Every pixel is painted, so nothing needs erasing first and a repaint does not flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CDiagramArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (paint) {
        paint(painter);
    }
}

CErvalunDlg::CErvalunDlg(MessageSink* messages, QWidget* parent)
    : QDialog(parent), m_engine(std::make_unique<TriangulationEngine>()) {
    if (messages == nullptr) {
        ownMessages_ = std::make_unique<QtMessageSink>(this);
        messages = ownMessages_.get();
    }
    messages_ = messages;
    m_engine->messages = messages_;

    setWindowTitle(QStringLiteral("Ervalun"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    CreateControls();
    ConnectCommands();
    OnInitDialog();
}

CErvalunDlg::~CErvalunDlg() {
    m_engine.reset();
}

QFont CErvalunDlg::DialogFont() {
    // DejaVu Sans comes with every Debian desktop (fonts-dejavu-core). Its small letters are
    // wider, against its average, than those the template was laid out for; drawn 5 % closer
    // together, every text fits its box while the dialog units stay whole pixels.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);
    font.setLetterSpacing(QFont::PercentageSpacing, 95);
    return font;
}

QWidget* CErvalunDlg::GetDlgItem(int id) const {
    const auto it = items_.find(id);
    return it == items_.end() ? nullptr : it->second;
}

void CErvalunDlg::CreateControls() {
    const DialogUnits du(font());
    setFixedSize(du.X(308), du.Y(309));
    // A closed drop-down list is as tall as an edit; the template's height is its open list.
    const int listHeight = du.Y(13);
    const QString groupStyle =
        QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: %1px; }"
                       "QGroupBox::title { subcontrol-origin: margin; left: %2px;"
                       " padding: 0px 2px; }")
            .arg(QFontMetrics(font()).height() / 2)
            .arg(du.X(2));

    QWidget* previousStop = nullptr;
    for (const TemplateItem& item : kTemplate) {
        const QRect rect = du.Rect(item.x, item.y, item.width, item.height);
        QWidget* widget = nullptr;
        switch (item.kind) {
        case Kind::Group: {
            auto* group = new QGroupBox(Utf8(item.text), this);
            group->setFocusPolicy(Qt::NoFocus);
            // The frame line runs through the middle of the title, as the template was drawn
            // for; the style's own group box puts it below and crowds the first label.
            group->setStyleSheet(groupStyle);
            widget = group;
            break;
        }
        case Kind::Label: {
            auto* label = new QLabel(Utf8(item.text), this);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            widget = label;
            break;
        }
        case Kind::List:
        case Kind::HemisphereList: {
            auto* combo =
                item.kind == Kind::HemisphereList ? new CHemisphereList(this) : new QComboBox(this);
            // A list that drops down below the box, as the template's lists do: the style's
            // default popup measures every entry before it opens, far too slow for a long
            // directory.
            combo->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
            // Long lists must not be measured item by item.
            combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            combo->setMinimumContentsLength(1);
            if (auto* view = qobject_cast<QListView*>(combo->view())) {
                view->setUniformItemSizes(true);
            }
            combo->setGeometry(rect.x(), rect.y(), rect.width(), listHeight);
            widget = combo;
            break;
        }
        case Kind::Button:
        case Kind::DefaultButton: {
            auto* button = new QPushButton(Utf8(item.text), this);
            button->setDefault(item.kind == Kind::DefaultButton);
            widget = button;
            break;
        }
        case Kind::Edit:
        case Kind::ResultEdit: {
            auto* edit = new QLineEdit(this);
            edit->setReadOnly(item.kind == Kind::ResultEdit);
            widget = edit;
            break;
        }
        case Kind::LinesEdit: {
            auto* edit = new QPlainTextEdit(this);
            edit->setReadOnly(true);
            edit->setTabChangesFocus(true);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            widget = edit;
            break;
        }
        case Kind::Frame: {
            auto* area = new CDiagramArea(this);
            area->paint = [this](QPainter& painter) { PaintDiagram(painter); };
            widget = area;
            break;
        }
        case Kind::Icon: {
            // Placeholder for the legend icon of the same resource number.
            auto* icon = new QLabel(this);
            icon->setObjectName(QStringLiteral("icon%1").arg(item.id));
            icon->setGeometry(rect.x(), rect.y(), kIconSize, kIconSize);
            icon->setAccessibleName(Utf8(item.accessibleName));
            continue;
        }
        }
        if (item.kind != Kind::List && item.kind != Kind::HemisphereList) {
            widget->setGeometry(rect);
        }
        if (item.id != 0) {
            widget->setObjectName(QStringLiteral("ctl%1").arg(item.id));
            items_[item.id] = widget;
        }
        if (item.accessibleName[0] != '\0') {
            widget->setAccessibleName(Utf8(item.accessibleName));
        }
        if (widget->focusPolicy() & Qt::TabFocus) {
            if (previousStop != nullptr) {
                setTabOrder(previousStop, widget);
            }
            previousStop = widget;
        }
    }

    positionNames_ = new QStringListModel(this);
    memberNames_ = new QStringListModel(this);
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
    // The letters are shown; a screen reader says the words.
    for (int id : {kLonHem1, kLonHem2}) {
        auto* list = static_cast<CHemisphereList*>(GetDlgItem(id));
        list->AddLetter(QStringLiteral("E"), QStringLiteral("Est"));
        list->AddLetter(QStringLiteral("O"), QStringLiteral("Ouest"));
    }
    for (int id : {kLatHem1, kLatHem2}) {
        auto* list = static_cast<CHemisphereList*>(GetDlgItem(id));
        list->AddLetter(QStringLiteral("N"), QStringLiteral("Nord"));
        list->AddLetter(QStringLiteral("S"), QStringLiteral("Sud"));
    }
    UpdateData(false);

    // The window icon, the about entry and the three legend pictures.
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
    geodesicSettings_ = GeodesicSettings::Load();
    setContextMenuPolicy(Qt::ActionsContextMenu);
    // Lists and buttons would swallow the request; the edits keep their own copy and paste menu.
    for (QWidget* control : findChildren<QWidget*>()) {
        if (qobject_cast<QComboBox*>(control) || qobject_cast<QPushButton*>(control)) {
            control->setContextMenuPolicy(Qt::NoContextMenu);
        }
    }
    const std::pair<const char*, DiagramMarker> legends[] = {
        {"icon130", DiagramMarker::FirstPoint},
        {"icon131", DiagramMarker::SecondPoint},
        {"icon132", DiagramMarker::Result}};
    for (const auto& [objectName, marker] : legends) {
        if (auto* label = findChild<QLabel*>(QString::fromLatin1(objectName))) {
            label->setPixmap(QPixmap::fromImage(LegendIconImage(marker)));
        }
    }

    FillPositionCombos();
    FillMembersCombo();
    // Once the two files' own messages are shown: which line of the directory to mend.
    if (m_engine->directoryMistake) {
        ShowMessage(DirectoryMistakeMessage(*m_engine->directoryMistake));
    }
    ValidateCoordinates();

    m_diagramRect = GetDlgItem(kDiagram)->geometry();
    GetDlgItem(kMembers)->setFocus();
}

bool CErvalunDlg::FillPositionCombos() {
    m_engine->LoadPositions(kDirectoryFileName, &m_engine->directory);
    if (m_engine->directoryLoaded) {
        SortByName(m_engine->directory);
        QStringList names;
        names.reserve(static_cast<qsizetype>(m_engine->directory.size()));
        for (const KnownPosition& entry : m_engine->directory) {
            names << DisplayName(entry.name);
        }
        positionNames_->setStringList(names);
        // A list that receives items selects its first one; the form has none selected.
        static_cast<QComboBox*>(GetDlgItem(kPosition1))->setCurrentIndex(m_position1);
        static_cast<QComboBox*>(GetDlgItem(kPosition2))->setCurrentIndex(m_position2);
    }
    return true;
}

bool CErvalunDlg::FillMembersCombo() {
    m_engine->LoadRoster(kRosterFileName, &m_engine->roster);
    if (m_engine->rosterLoaded) {
        SortByName(m_engine->roster);
        QStringList names;
        names.reserve(static_cast<qsizetype>(m_engine->roster.size()));
        for (const Member& member : m_engine->roster) {
            names << DisplayName(member.name);
        }
        memberNames_->setStringList(names);
        static_cast<QComboBox*>(GetDlgItem(kMembers))->setCurrentIndex(m_member);
    }
    return true;
}

bool CErvalunDlg::UpdateData(bool save) {
    for (const FormBinding& binding : kBindings) {
        QWidget* control = GetDlgItem(binding.id);
        if (save && binding.loadOnly) {
            continue;
        }
        switch (binding.kind) {
        case Exchange::Number: {
            auto* edit = static_cast<QLineEdit*>(control);
            double& field = this->*binding.number;
            if (!save) {
                const QString shown = QString::fromStdString(ervalun::FormatFormNumber(field));
                // Only a changed text is set, so only a change notifies the validation.
                if (edit->text() != shown) {
                    edit->setText(shown);
                    edit->setCursorPosition(0);
                }
                break;
            }
            const QByteArray text = edit->text().toUtf8();
            const ervalun::FormNumberStatus status = ervalun::ParseFormNumber(
                std::string_view(text.constData(), static_cast<std::size_t>(text.size())), field);
            if (status != ervalun::FormNumberStatus::Ok) {
                ShowMessage(status == ervalun::FormNumberStatus::OutOfRange ? kOutOfRangeMessage
                                                                            : kNotANumberMessage);
                edit->setFocus();
                edit->selectAll();
                return false;
            }
            break;
        }
        case Exchange::Index: {
            auto* combo = static_cast<QComboBox*>(control);
            int& field = this->*binding.index;
            if (save) {
                field = combo->currentIndex();
            } else {
                combo->setCurrentIndex(
                    IsEntry(field, static_cast<std::size_t>(combo->count())) ? field : -1);
            }
            break;
        }
        case Exchange::Text: {
            auto* edit = static_cast<QLineEdit*>(control);
            const QString shown = DisplayName(this->*binding.text);
            if (edit->text() != shown) {
                edit->setText(shown);
                edit->setCursorPosition(0);
            }
            break;
        }
        case Exchange::Lines: {
            auto* edit = static_cast<QPlainTextEdit*>(control);
            const QString shown = DisplayNameLines(this->*binding.text);
            if (edit->toPlainText() != shown) {
                edit->setPlainText(shown);
                // The newest name is the one just added: keep it in view.
                edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum());
            }
            break;
        }
        }
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
    // A refused number has shown its message; the calculation goes on with the fields as they
    // stand.
    UpdateData(true);
    RunCalculation();
    UpdateGeodesicCheck();
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
    input.position1 = m_position1;
    input.position2 = m_position2;

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
    GetDlgItem(kCalculer)->setEnabled(entered);
}

void CErvalunDlg::OnPosition1Changed() {
    UpdateData(true);
    if (m_engine->directoryLoaded && IsEntry(m_position1, m_engine->directory.size())) {
        m_engine->FillFromPosition(m_engine->directory, m_position1, m_lonDeg1, m_lonMin1,
                                   m_lonSec1, m_latDeg1, m_latMin1, m_latSec1, m_lonHem1,
                                   m_latHem1);
    }
    UpdateData(false);
}

void CErvalunDlg::OnPosition2Changed() {
    UpdateData(true);
    if (m_engine->directoryLoaded && IsEntry(m_position2, m_engine->directory.size())) {
        m_engine->FillFromPosition(m_engine->directory, m_position2, m_lonDeg2, m_lonMin2,
                                   m_lonSec2, m_latDeg2, m_latMin2, m_latSec2, m_lonHem2,
                                   m_latHem2);
    }
    UpdateData(false);
}

void CErvalunDlg::OnSelectOperator() {
    UpdateData(true);
    if (m_engine->rosterLoaded && IsEntry(m_member, m_engine->roster.size())) {
        Member& member = m_engine->roster[static_cast<std::size_t>(m_member)];
        if (member.role == -1 && m_operatorChosen == 0) {
            member.role = 0;
            m_operatorName = member.name;
            m_operatorChosen = 1;
            m_engine->operators.push_back(member);
        } else if (member.role == 1) {
            ShowMessage("opérateur déjà enregistré en tant que participant");
        } else if (m_operatorChosen == 1) {
            ShowMessage("opérateur déjà enregistré");
        }
    }
    UpdateData(false);
}

void CErvalunDlg::OnAddParticipant() {
    UpdateData(true);
    if (m_engine->rosterLoaded && IsEntry(m_member, m_engine->roster.size())) {
        Member& member = m_engine->roster[static_cast<std::size_t>(m_member)];
        if (member.role == -1) {
            member.role = 1;
            m_participantsText += member.name;
            m_participantsText += "\r\n";
            m_engine->participants.push_back(member);
        } else if (member.role == 0) {
            ShowMessage("participant déjà enregistré en tant qu'opérateur");
        } else {
            ShowMessage("participant déjà enregistré");
        }
    }
    UpdateData(false);
}

void CErvalunDlg::OnHelp() {
    if (help_ == nullptr) {
        help_ = new CHelpWindow(this);
        auto* about = new QPushButton(QString::fromUtf8(kAboutEntryText), help_);
        about->setObjectName(QStringLiteral("helpAbout"));
        // Over the help window, which gets the focus back, so that the next Escape closes the
        // help and not the program.
        connect(about, &QPushButton::clicked, help_, [this] { RunAboutBox(help_); });
        help_->layout()->insertWidget(1, about, 0, Qt::AlignLeft);
        auto* geodesic = new QPushButton(QString::fromUtf8(kGeodesicEntryText), help_);
        geodesic->setObjectName(QStringLiteral("helpGeodesic"));
        connect(geodesic, &QPushButton::clicked, this, [this] { OnGeodesicCheck(); });
        help_->layout()->insertWidget(2, geodesic, 0, Qt::AlignLeft);
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void CErvalunDlg::OnGeodesicCheck() {
    if (geodesic_ == nullptr) {
        geodesic_ = new CGeodesicWindow(geodesicSettings_, this);
        connect(geodesic_, &CGeodesicWindow::settingsChanged, this, [this] {
            geodesicSettings_ = geodesic_->Settings();
            if (geodesicFigures_) {
                geodesy::CheckInput input = geodesicFigures_->input;
                input.bearingError = geodesicSettings_.bearingError;
                input.declination = geodesicSettings_.declination;
                geodesicFigures_ = geodesy::RunCheck(input);
            }
            ShowGeodesicCheck();
        });
    }
    geodesic_->ShowFigures(geodesicFigures_);
    geodesic_->show();
    geodesic_->raise();
    geodesic_->activateWindow();
}

void CErvalunDlg::UpdateGeodesicCheck() {
    geodesy::CheckInput input;
    const GeoPosition& first = m_engine->position1;
    const GeoPosition& second = m_engine->position2;
    input.first = {first.latitude, first.longitude, first.bearing};
    input.second = {second.latitude, second.longitude, second.bearing};
    input.bearingError = geodesicSettings_.bearingError;
    input.declination = geodesicSettings_.declination;
    // The entry the nearest search just named, from the distances it left in the directory.
    if (m_engine->directoryLoaded) {
        if (const KnownPosition* entry = geodesy::NamedEntry(m_engine->directory, m_nearestName)) {
            input.known = geodesy::Place{entry->name, entry->latitude, entry->longitude};
        }
    }
    geodesicFigures_ = geodesy::RunCheck(input);
    ShowGeodesicCheck();
}

void CErvalunDlg::ShowGeodesicCheck() {
    SetResultTooltips();
    if (geodesic_ != nullptr) {
        geodesic_->ShowFigures(geodesicFigures_);
    }
}

void CErvalunDlg::SetResultTooltips() {
    if (!geodesicFigures_) {
        return;
    }
    // The boxes cut the last of the 15 digits: the tooltip shows the whole value, then how far
    // the geodesic fix lies. Made as rich text from escaped lines, so that no name is read as
    // markup.
    const QString check = GeodesicTooltipLine(*geodesicFigures_);
    auto set = [this](int id, const QStringList& lines) {
        QStringList escaped;
        for (const QString& line : lines) {
            escaped << line.toHtmlEscaped();
        }
        GetDlgItem(id)->setToolTip(QStringLiteral("<p style='white-space:pre'>") +
                                   escaped.join(QStringLiteral("<br>")) + QStringLiteral("</p>"));
    };
    const std::pair<int, double CErvalunDlg::*> numbers[] = {
        {kResLonDeg, &CErvalunDlg::m_resLonDeg}, {kResLonMin, &CErvalunDlg::m_resLonMin},
        {kResLonSec, &CErvalunDlg::m_resLonSec}, {kResLatDeg, &CErvalunDlg::m_resLatDeg},
        {kResLatMin, &CErvalunDlg::m_resLatMin}, {kResLatSec, &CErvalunDlg::m_resLatSec}};
    for (const auto& [id, field] : numbers) {
        set(id, {QString::fromStdString(ervalun::FormatFormNumber(this->*field)), check});
    }
    set(kResLonHem,
        {m_resLonHem == "O" ? QStringLiteral("O : ouest") : QStringLiteral("E : est"), check});
    set(kResLatHem,
        {m_resLatHem == "S" ? QStringLiteral("S : sud") : QStringLiteral("N : nord"), check});
    QStringList name = {DisplayName(m_nearestName)};
    if (geodesicFigures_->input.known && std::isfinite(geodesicFigures_->knownDistance)) {
        name << QStringLiteral("Cette position est à %1 du point géodésique.")
                    .arg(QString::fromStdString(
                        geodesy::FormatDistance(geodesicFigures_->knownDistance)));
    }
    name << check;
    set(kNearestName, name);
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
