#include "ui/geodesic_window.h"

#include "ui/bearings_page.h"
#include "ui/display_text.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace {

namespace geodesy = ervalun::geodesy;

const char* const kErrorKey = "controleGeodesique/erreurAzimut";
// The one declination of earlier versions, read once.
const char* const kOldDeclinationKey = "controleGeodesique/declinaison";
const char* const kNorthKeys[2] = {"controleGeodesique/nord1", "controleGeodesique/nord2"};
const char* const kManualKey = "controleGeodesique/declinaisonManuelle";

QSettings UserSettings() {
    return QSettings(QStringLiteral("Ervalun"), QStringLiteral("ervalun"));
}

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Position(double latitude, double longitude) {
    return Utf8(geodesy::FormatDms(latitude, true) + "   " + geodesy::FormatDms(longitude, false) +
                "\n(" + geodesy::FormatFixed(latitude, 9) + ", " +
                geodesy::FormatFixed(longitude, 9) + ")");
}

QString Degrees(double value, int decimals) {
    return Utf8(geodesy::FormatFixed(value, decimals) + "°");
}

QDoubleSpinBox* MakeSpinBox(double minimum, double maximum, double step, double value,
                            const char* objectName, const QString& accessibleName) {
    auto* box = new QDoubleSpinBox;
    box->setObjectName(QString::fromLatin1(objectName));
    box->setAccessibleName(accessibleName);
    // A decimal point, as in every field of the dialog, whatever the user's language.
    box->setLocale(QLocale::c());
    box->setDecimals(2);
    box->setRange(minimum, maximum);
    box->setSingleStep(step);
    box->setValue(value);
    box->setSuffix(QStringLiteral("°"));
    // Changed when the user is done with the field, not at every key.
    box->setKeyboardTracking(false);
    return box;
}

} // namespace

GeodesicSettings GeodesicSettings::Load() {
    QSettings settings = UserSettings();
    GeodesicSettings loaded;
    bool ok = false;
    const double error = settings.value(QLatin1String(kErrorKey)).toDouble(&ok);
    if (ok && std::isfinite(error) && error >= 0 && error <= 45) {
        loaded.bearingError = error;
    }
    const double declination = settings.value(QLatin1String(kManualKey)).toDouble(&ok);
    if (ok && std::isfinite(declination) && std::fabs(declination) <= 180) {
        loaded.declination = declination;
    }
    for (int i = 0; i < 2; ++i) {
        const int choice =
            NorthChoiceOf(settings.value(QLatin1String(kNorthKeys[i])).toString(), true);
        if (choice >= 0) {
            loaded.north[i] = choice;
        }
    }
    if (settings.contains(QLatin1String(kOldDeclinationKey))) {
        const double old = settings.value(QLatin1String(kOldDeclinationKey)).toDouble(&ok);
        if (ok && std::isfinite(old) && std::fabs(old) <= 180 && old != 0.0) {
            loaded.north[0] = loaded.north[1] = kManualNorthChoice;
            loaded.declination = old;
        }
        settings.remove(QLatin1String(kOldDeclinationKey));
        loaded.Save();
    }
    return loaded;
}

void GeodesicSettings::Save() const {
    QSettings settings = UserSettings();
    settings.setValue(QLatin1String(kErrorKey), bearingError);
    const QStringList names = NorthChoiceNames(true);
    for (int i = 0; i < 2; ++i) {
        settings.setValue(QLatin1String(kNorthKeys[i]), names.value(north[i]));
    }
    settings.setValue(QLatin1String(kManualKey), declination);
}

CGeodesicWindow::CGeodesicWindow(const GeodesicSettings& settings, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("geodesicWindow"));
    setWindowTitle(QStringLiteral("Contrôle géodésique"));
    setModal(false);

    // Two pages: the check of the dialog's two bearings, and the table of as many as the user
    // has; the settings below serve both.
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("geodesicTabs"));
    auto* twoBearings = new QWidget(tabs);
    auto* twoLayout = new QVBoxLayout(twoBearings);
    verdict_ = new QLabel(twoBearings);
    verdict_->setObjectName(QStringLiteral("geodesicVerdict"));
    verdict_->setTextFormat(Qt::PlainText);
    verdict_->setWordWrap(true);
    verdict_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont strong = verdict_->font();
    strong.setBold(true);
    verdict_->setFont(strong);
    twoLayout->addWidget(verdict_);

    // A grid rather than a form: a form layout keeps the one-line height of a value that later
    // takes two lines.
    auto* grid = new QGridLayout;
    grid_ = grid;
    grid->setColumnStretch(1, 1);
    fix_ = AddRow(grid, QStringLiteral("Point géodésique (WGS84)"), "geodesicFix");
    flat_ = AddRow(grid, QStringLiteral("Point du calcul plan"), "geodesicFlat");
    offset_ = AddRow(grid, QStringLiteral("Du point plan au point géodésique"), "geodesicOffset");
    distance1_ = AddRow(grid, QStringLiteral("Distance au 1er point"), "geodesicDistance1");
    distance2_ = AddRow(grid, QStringLiteral("Distance au 2e point"), "geodesicDistance2");
    known_ = AddRow(grid, QStringLiteral("Position proche"), "geodesicKnown");
    knownLabel_ = rowLabel_;
    angle_ = AddRow(grid, QStringLiteral("Angle d'intersection"), "geodesicAngle");
    spread_ = AddRow(grid, QStringLiteral("Dispersion"), "geodesicSpread");
    spreadLabel_ = rowLabel_;
    north_ = AddRow(grid, QStringLiteral("Nord des azimuts"), "geodesicNorth");
    twoLayout->addLayout(grid);
    twoLayout->addStretch(1);
    tabs->addTab(twoBearings, QStringLiteral("Deux azimuts du dialogue"));
    bearings_ = new CBearingsPage(tabs);
    tabs->addTab(bearings_, QStringLiteral("Relevés multiples"));
    layout->addWidget(tabs, 1);

    auto* group = new QGroupBox(QStringLiteral("Réglages du contrôle"), this);
    // On one line: the page above wants the height.
    auto* settingsGrid = new QGridLayout(group);
    error_ = MakeSpinBox(0, 45, 0.5, settings.bearingError, "geodesicError",
                         QStringLiteral("Erreur d'azimut, degrés"));
    north1_ = MakeNorthCombo(group, "geodesicNorth1",
                             QStringLiteral("Nord de l'azimut de l'observation 1"), true);
    north2_ = MakeNorthCombo(group, "geodesicNorth2",
                             QStringLiteral("Nord de l'azimut de l'observation 2"), true);
    north1_->setCurrentIndex(settings.north[0]);
    north2_->setCurrentIndex(settings.north[1]);
    declination_ = MakeSpinBox(-180, 180, 0.5, settings.declination, "geodesicDeclination",
                               QStringLiteral("Déclinaison manuelle, degrés, est positif"));
    const std::pair<QString, QWidget*> boxes[] = {
        {QStringLiteral("&Erreur d'azimut (±)"), error_},
        {QStringLiteral("Nord obs. &1"), north1_},
        {QStringLiteral("Nord obs. &2"), north2_},
        {QStringLiteral("&Déclinaison manuelle (est +)"), declination_}};
    int column = 0;
    for (const auto& [text, box] : boxes) {
        auto* label = new QLabel(text, group);
        label->setBuddy(box);
        settingsGrid->addWidget(label, 0, column++);
        settingsGrid->addWidget(box, 0, column++);
        settingsGrid->setColumnMinimumWidth(column++, 16);
    }
    settingsGrid->setColumnStretch(column - 1, 1);
    auto* note = new QLabel(QStringLiteral("Les azimuts sont ramenés au nord vrai (déclinaison "
                                           "du modèle WMM à la date du jour, ou convergence du "
                                           "quadrillage) pour ce contrôle et les relevés "
                                           "multiples seulement : le calcul plan, le journal et "
                                           "la carte gardent les azimuts saisis."),
                            group);
    note->setWordWrap(true);
    settingsGrid->addWidget(note, 1, 0, 1, column);
    layout->addWidget(group);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Fermer"));
    // Enter commits a field (and adds a bearing in the table's form); it never closes.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    AddFieldTools(tabs, buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);

    connect(error_, &QDoubleSpinBox::valueChanged, this, [this] { OnSettingEdited(); });
    connect(declination_, &QDoubleSpinBox::valueChanged, this, [this] { OnSettingEdited(); });
    for (QComboBox* combo : {north1_, north2_}) {
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { OnSettingEdited(); });
    }
    declination_->setEnabled(settings.north[0] == kManualNorthChoice ||
                             settings.north[1] == kManualNorthChoice);

    ShowNorth({});
    ShowFigures(std::nullopt);
    resize(1000, std::max(760, sizeHint().height()));
}

QLabel* CGeodesicWindow::AddRow(QGridLayout* grid, const QString& label, const char* objectName) {
    const int row = grid->rowCount();
    rowLabel_ = new QLabel(label, this);
    grid->addWidget(rowLabel_, row, 0, Qt::AlignLeft | Qt::AlignTop);
    auto* value = new QLabel(this);
    value->setObjectName(QString::fromLatin1(objectName));
    value->setTextFormat(Qt::PlainText);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    rowLabel_->setBuddy(value);
    grid->addWidget(value, row, 1, Qt::AlignLeft | Qt::AlignTop);
    return value;
}

GeodesicSettings CGeodesicWindow::Settings() const {
    return {
        error_->value(), {north1_->currentIndex(), north2_->currentIndex()}, declination_->value()};
}

void CGeodesicWindow::OnSettingEdited() {
    Settings().Save();
    declination_->setEnabled(north1_->currentIndex() == kManualNorthChoice ||
                             north2_->currentIndex() == kManualNorthChoice);
    emit settingsChanged();
}

void CGeodesicWindow::ShowNorth(const QStringList& texts) {
    north_->setText(texts.isEmpty() ? QStringLiteral("—") : texts.join(QLatin1Char('\n')));
}

void CGeodesicWindow::ShowFigures(const std::optional<geodesy::CheckFigures>& figures) {
    figures_ = figures;
    OnEstimated();
    ShowTexts(figures);
    // Labels of a window not shown yet do not tell the layouts that their size changed; and
    // the wrapped verdict needs a height for the window's width that no minimum size gives.
    grid_->invalidate();
    layout()->invalidate();
    const int needed = layout()->totalHeightForWidth(width());
    if (needed > height()) {
        resize(width(), needed);
    }
}

void CGeodesicWindow::ShowTexts(const std::optional<geodesy::CheckFigures>& figures) {
    const QString none = QStringLiteral("—");
    spreadLabel_->setText(QStringLiteral("Dispersion pour ± %1").arg(Degrees(error_->value(), 2)));
    knownLabel_->setText(QStringLiteral("Position proche"));
    if (!figures) {
        verdict_->setText(QStringLiteral("Aucun calcul pour l'instant : le contrôle s'affichera "
                                         "après le premier calcul du dialogue."));
        for (QLabel* label :
             {fix_, flat_, offset_, distance1_, distance2_, known_, angle_, spread_}) {
            label->setText(none);
        }
        return;
    }

    QStringList verdict;
    for (const std::string& line : geodesy::Verdict(*figures)) {
        verdict << Utf8(line);
    }
    verdict_->setText(verdict.join(QLatin1Char('\n')));

    const geodesy::GeodesicFix& fix = figures->fix;
    flat_->setText(Position(figures->flatLatitude, figures->flatLongitude) +
                   (figures->flatMeaningful ? QString() : QStringLiteral("\nsans objet ici")));
    if (figures->input.known) {
        knownLabel_->setText(
            QStringLiteral("Distance à « %1 »").arg(DisplayName(figures->input.known->name)));
    }
    if (!fix.Found()) {
        fix_->setText(Utf8("aucun : " + geodesy::FixStatusReason(fix.status)));
        for (QLabel* label : {offset_, distance1_, distance2_, known_, angle_, spread_}) {
            label->setText(none);
        }
        if (!figures->input.known) {
            known_->setText(QStringLiteral("aucune position connue nommée"));
        }
        return;
    }

    fix_->setText(Position(fix.latitude, fix.longitude));
    QString offset = Utf8(geodesy::FormatDistance(figures->offset));
    if (std::isfinite(figures->offsetAzimuth)) {
        offset += QStringLiteral(", vers l'azimut %1").arg(Degrees(figures->offsetAzimuth, 1));
    }
    offset_->setText(offset);
    const QString behind = QStringLiteral(", derrière (à l'opposé de l'azimut relevé)");
    distance1_->setText(Utf8(geodesy::FormatDistance(fix.distance1)) +
                        (fix.behind1 ? behind : QString()));
    distance2_->setText(Utf8(geodesy::FormatDistance(fix.distance2)) +
                        (fix.behind2 ? behind : QString()));
    known_->setText(figures->input.known ? Utf8(geodesy::FormatDistance(figures->knownDistance))
                                         : QStringLiteral("aucune position connue nommée"));
    angle_->setText(Degrees(fix.crossingAngle, 1) + (fix.crossingAngle < geodesy::kLowCrossingAngle
                                                         ? QStringLiteral(" (faible)")
                                                         : QString()));
    spread_->setText(std::isinf(figures->spread)
                         ? QStringLiteral("non bornée : les lignes peuvent devenir parallèles")
                         : Utf8(geodesy::FormatDistance(figures->spread)));
}

QString GeodesicTooltipLine(const geodesy::CheckFigures& figures) {
    const geodesy::GeodesicFix& fix = figures.fix;
    if (!fix.Found()) {
        // The verdict's first line says why.
        return Utf8(geodesy::Verdict(figures).front());
    }
    QString line;
    if (!figures.flatMeaningful) {
        line = QStringLiteral("Le calcul plan n'a pas de sens ici. ");
    }
    if (std::isfinite(figures.offset)) {
        line += Utf8("Point géodésique à " + geodesy::FormatDistance(figures.offset) +
                     " du résultat affiché");
        if (std::isfinite(figures.offsetAzimuth)) {
            line += QStringLiteral(" (azimut %1)").arg(Degrees(figures.offsetAzimuth, 0));
        }
        line += QLatin1Char('.');
    } else {
        line += QStringLiteral("Point géodésique : ") +
                Utf8(geodesy::FormatDms(fix.latitude, true) + " " +
                     geodesy::FormatDms(fix.longitude, false)) +
                QLatin1Char('.');
    }
    return line;
}
