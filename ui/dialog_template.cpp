#include "ui/dialog_template.h"

#include "ui/dialog_units.h"
#include "ui/hemisphere_list.h"
#include "ui/icons.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

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

QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}

// The template's initialisation data: the letters are shown, a screen reader says the words.
void FillHemisphereList(QWidget* control, int id) {
    auto* list = static_cast<CHemisphereList*>(control);
    if (id == kLonHem1 || id == kLonHem2) {
        list->AddLetter(QStringLiteral("E"), QStringLiteral("Est"));
        list->AddLetter(QStringLiteral("O"), QStringLiteral("Ouest"));
    } else {
        list->AddLetter(QStringLiteral("N"), QStringLiteral("Nord"));
        list->AddLetter(QStringLiteral("S"), QStringLiteral("Sud"));
    }
}

DiagramMarker LegendMarker(int resource) {
    switch (resource) {
    case 130:
        return DiagramMarker::FirstPoint;
    case 131:
        return DiagramMarker::SecondPoint;
    default:
        return DiagramMarker::Result;
    }
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

QFont DialogTemplateFont() {
    // DejaVu Sans comes with every Debian desktop (fonts-dejavu-core). Its small letters are
    // wider, against its average, than those the template was laid out for; drawn 5 % closer
    // together, every text fits its box while the dialog units stay whole pixels.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);
    font.setLetterSpacing(QFont::PercentageSpacing, 95);
    return font;
}

std::map<int, QWidget*> CreateDialogTemplate(QWidget* parent) {
    parent->setFont(DialogTemplateFont());
    const DialogUnits du(parent->font());
    parent->setFixedSize(du.X(308), du.Y(309));
    // A closed drop-down list is as tall as an edit; the template's height is its open list.
    const int listHeight = du.Y(13);
    const QString groupStyle =
        QStringLiteral("QGroupBox { border: 1px solid palette(mid); margin-top: %1px; }"
                       "QGroupBox::title { subcontrol-origin: margin; left: %2px;"
                       " padding: 0px 2px; }")
            .arg(QFontMetrics(parent->font()).height() / 2)
            .arg(du.X(2));

    std::map<int, QWidget*> items;
    QWidget* previousStop = nullptr;
    for (const TemplateItem& item : kTemplate) {
        const QRect rect = du.Rect(item.x, item.y, item.width, item.height);
        QWidget* widget = nullptr;
        switch (item.kind) {
        case Kind::Group: {
            auto* group = new QGroupBox(Utf8(item.text), parent);
            group->setFocusPolicy(Qt::NoFocus);
            // The frame line runs through the middle of the title, as the template was drawn
            // for; the style's own group box puts it below and crowds the first label.
            group->setStyleSheet(groupStyle);
            widget = group;
            break;
        }
        case Kind::Label: {
            auto* label = new QLabel(Utf8(item.text), parent);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            widget = label;
            break;
        }
        case Kind::List:
        case Kind::HemisphereList: {
            auto* combo = item.kind == Kind::HemisphereList ? new CHemisphereList(parent)
                                                            : new QComboBox(parent);
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
            if (item.kind == Kind::HemisphereList) {
                FillHemisphereList(combo, item.id);
            }
            widget = combo;
            break;
        }
        case Kind::Button:
        case Kind::DefaultButton: {
            auto* button = new QPushButton(Utf8(item.text), parent);
            button->setDefault(item.kind == Kind::DefaultButton);
            widget = button;
            break;
        }
        case Kind::Edit:
        case Kind::ResultEdit: {
            auto* edit = new QLineEdit(parent);
            edit->setReadOnly(item.kind == Kind::ResultEdit);
            widget = edit;
            break;
        }
        case Kind::LinesEdit: {
            auto* edit = new QPlainTextEdit(parent);
            edit->setReadOnly(true);
            edit->setTabChangesFocus(true);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            widget = edit;
            break;
        }
        case Kind::Frame: {
            widget = new CDiagramArea(parent);
            break;
        }
        case Kind::Icon: {
            // The legend icon of the same resource number.
            auto* icon = new QLabel(parent);
            icon->setObjectName(QStringLiteral("icon%1").arg(item.id));
            icon->setGeometry(rect.x(), rect.y(), kIconSize, kIconSize);
            icon->setPixmap(QPixmap::fromImage(LegendIconImage(LegendMarker(item.id))));
            icon->setAccessibleName(Utf8(item.accessibleName));
            continue;
        }
        }
        if (item.kind != Kind::List && item.kind != Kind::HemisphereList) {
            widget->setGeometry(rect);
        }
        if (item.id != 0) {
            widget->setObjectName(QStringLiteral("ctl%1").arg(item.id));
            items[item.id] = widget;
        }
        if (item.accessibleName[0] != '\0') {
            widget->setAccessibleName(Utf8(item.accessibleName));
        }
        if (widget->focusPolicy() & Qt::TabFocus) {
            if (previousStop != nullptr) {
                QWidget::setTabOrder(previousStop, widget);
            }
            previousStop = widget;
        }
    }
    return items;
}
