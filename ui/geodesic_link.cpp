#include "ui/geodesic_link.h"

#include "data/nearest_position.h"

#include "ui/bearing_table.h"
#include "ui/bearings_page.h"
#include "ui/display_text.h"
#include "ui/ervalun_dlg.h"
#include "ui/estimate_panel.h"
#include "ui/field_tools.h"
#include "ui/form/form_number.h"
#include "ui/form/list_index.h"

#include <QStringList>

#include <cmath>
#include <string>
#include <utility>

namespace {

namespace geodesy = ervalun::geodesy;

using namespace dlgid;

} // namespace

CGeodesicLink::CGeodesicLink(CErvalunDlg& dialog, MessageSink& messages)
    : QObject(&dialog), dialog_(dialog), messages_(messages), settings_(GeodesicSettings::Load()) {
    geodesy::BearingRows read = geodesy::ReadBearingRowsFile(geodesy::kBearingRowsFileName);
    savedRows_ = std::move(read.rows);
    if (!read.mistakes.empty()) {
        messages_.ShowMessage(
            geodesy::BearingRowsMessage(geodesy::kBearingRowsFileName, read.mistakes));
    }
}

void CGeodesicLink::Open() {
    if (window_ == nullptr) {
        window_ = new CGeodesicWindow(settings_, &dialog_);
        connect(window_, &CGeodesicWindow::settingsChanged, this, [this] { OnSettingsChanged(); });
        CBearingsPage* page = window_->Bearings();
        page->SetMessages(&messages_);
        window_->SetMessages(&messages_);
        page->Table()->SetUserRows(std::move(savedRows_));
        savedRows_.clear();
        if (dialogRows_.size() == 2) {
            page->Table()->SetDialogRows(dialogRows_[0], dialogRows_[1]);
        }
    }
    ShowNorth();
    GiveDirectory();
    window_->ShowFigures(figures_);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void CGeodesicLink::OnSettingsChanged() {
    settings_ = window_->Settings();
    if (figures_) {
        geodesy::CheckInput input = figures_->input;
        input.bearingError = settings_.bearingError;
        Check(input);
    }
    ShowNorth();
    Show();
}

void CGeodesicLink::Check(const geodesy::CheckInput& input) {
    corrections_.clear();
    const geodesy::CalendarDate today = geodesy::TodayLocal();
    const geodesy::Sighting* sightings[] = {&input.first, &input.second};
    for (std::size_t i = 0; i < 2; ++i) {
        const geodesy::Sighting& sighting = *sightings[i];
        const std::string name =
            i < dialogRows_.size() ? dialogRows_[i].name : "Observation " + std::to_string(i + 1);
        corrections_.push_back(
            ObservationCorrection(settings_.north[i], settings_.declination, sighting.azimuth,
                                  {name, sighting.latitude, sighting.longitude, 0.0}, today));
    }
    if (corrections_[0].ok && corrections_[1].ok) {
        figures_ = geodesy::RunCheck(input, corrections_[0].azimuth, corrections_[1].azimuth);
    } else {
        geodesy::CheckInput typed = input;
        typed.declination = 0.0;
        figures_ = geodesy::RunCheck(typed);
    }
}

void CGeodesicLink::ShowNorth() {
    if (window_ == nullptr) {
        return;
    }
    QStringList texts;
    for (const geodesy::NorthCorrection& correction : corrections_) {
        texts << QString::fromStdString(correction.text);
    }
    if (corrections_.size() == 2 && !(corrections_[0].ok && corrections_[1].ok)) {
        texts << QStringLiteral("Sans correction possible, les deux azimuts sont pris tels que "
                                "saisis.");
    }
    window_->ShowNorth(texts);
    const QStringList names = NorthChoiceNames(true);
    window_->Bearings()->SetDialogCorrections(
        corrections_, {names.value(settings_.north[0]), names.value(settings_.north[1])});
}

void CGeodesicLink::Follow() {
    const TriangulationEngine& engine = *dialog_.m_engine;
    geodesy::CheckInput input;
    const GeoPosition& first = engine.position1;
    const GeoPosition& second = engine.position2;
    input.first = {first.latitude, first.longitude, first.bearing};
    input.second = {second.latitude, second.longitude, second.bearing};
    input.bearingError = settings_.bearingError;
    // The entry the nearest search just named, from the distances it left in the directory.
    if (engine.directoryLoaded) {
        if (const KnownPosition* entry =
                ervalun::NamedEntry(engine.directory, dialog_.m_nearestName)) {
            input.known = geodesy::Place{entry->name.str(), entry->latitude, entry->longitude};
        }
    }
    MakeDialogRows();
    Check(input);
    Show();
    if (window_ != nullptr) {
        window_->Bearings()->Table()->SetDialogRows(dialogRows_[0], dialogRows_[1]);
        ShowNorth();
        GiveDirectory();
    } else {
        WriteMapWithoutWindow();
    }
}

void CGeodesicLink::WriteMapWithoutWindow() {
    // The window writes carte.html itself once made; until then, from the rows it would have.
    std::vector<geodesy::BearingRow> rows = dialogRows_;
    rows.insert(rows.end(), savedRows_.begin(), savedRows_.end());
    std::vector<geodesy::BearingInput> inputs;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const geodesy::BearingRow& row = rows[i];
        // True azimuths as the page makes them: a bearing that cannot be made true is left out.
        const geodesy::NorthCorrection correction =
            i < dialogRows_.size() && i < corrections_.size() ? corrections_[i]
                                                              : RowCorrection(row);
        geodesy::BearingInput input;
        input.name = row.name;
        input.latitude = row.latitude;
        input.longitude = row.longitude;
        input.azimuth = correction.ok ? correction.azimuth : row.azimuth;
        input.sigma = row.sigma;
        input.excluded = !row.active || !correction.ok;
        inputs.push_back(std::move(input));
    }
    const geodesy::BearingEstimate estimate =
        geodesy::EstimatePosition(inputs, EstimateSettings::Load().Options());
    // Silent, as map.html; the window's button tells it.
    WriteFieldMap(WindowScene(inputs, estimate, figures_));
}

void CGeodesicLink::MakeDialogRows() {
    const TriangulationEngine& engine = *dialog_.m_engine;
    dialogRows_.clear();
    const std::pair<const GeoPosition*, int> observations[] = {
        {&engine.position1, dialog_.m_position1}, {&engine.position2, dialog_.m_position2}};
    for (const auto& [position, chosen] : observations) {
        geodesy::BearingRow row;
        row.latitude = position->latitude;
        row.longitude = position->longitude;
        row.azimuth = position->bearing;
        row.name = "Observation " + std::to_string(dialogRows_.size() + 1);
        // The name of the position chosen in the list, unless its figures were changed since.
        if (engine.directoryLoaded && ervalun::DesignatesEntry(chosen, engine.directory.size())) {
            const KnownPosition& entry = engine.directory[static_cast<std::size_t>(chosen)];
            if (std::fabs(entry.latitude - row.latitude) < 1e-9 &&
                std::fabs(entry.longitude - row.longitude) < 1e-9) {
                row.name = DisplayName(entry.name).toStdString();
            }
        }
        dialogRows_.push_back(std::move(row));
    }
}

void CGeodesicLink::GiveDirectory() {
    // The lists are the engine's own once the start-up is done; until then a reader may fill them.
    const TriangulationEngine& engine = *dialog_.m_engine;
    if (window_ != nullptr && dialog_.ListsReady() && engine.directoryLoaded) {
        window_->Bearings()->Table()->SetDirectory(&engine.directory);
    }
}

void CGeodesicLink::Show() {
    SetResultTooltips();
    if (window_ != nullptr) {
        window_->ShowFigures(figures_);
    }
}

void CGeodesicLink::SetResultTooltips() {
    if (!figures_) {
        return;
    }
    // The boxes cut the last of the 15 digits: the tooltip shows the whole value, then how far
    // the geodesic fix lies. Made as rich text from escaped lines, so that no name is read as
    // markup.
    const QString check = GeodesicTooltipLine(*figures_);
    auto set = [this](int id, const QStringList& lines) {
        QStringList escaped;
        for (const QString& line : lines) {
            escaped << line.toHtmlEscaped();
        }
        dialog_.GetDlgItem(id)->setToolTip(QStringLiteral("<p style='white-space:pre'>") +
                                           escaped.join(QStringLiteral("<br>")) +
                                           QStringLiteral("</p>"));
    };
    const std::pair<int, double CErvalunDlg::*> numbers[] = {
        {kResLonDeg, &CErvalunDlg::m_resLonDeg}, {kResLonMin, &CErvalunDlg::m_resLonMin},
        {kResLonSec, &CErvalunDlg::m_resLonSec}, {kResLatDeg, &CErvalunDlg::m_resLatDeg},
        {kResLatMin, &CErvalunDlg::m_resLatMin}, {kResLatSec, &CErvalunDlg::m_resLatSec}};
    for (const auto& [id, field] : numbers) {
        set(id, {QString::fromStdString(ervalun::FormatFormNumber(dialog_.*field)), check});
    }
    set(kResLonHem,
        {dialog_.m_resLonHem == "O" ? QStringLiteral("O : ouest") : QStringLiteral("E : est"),
         check});
    set(kResLatHem,
        {dialog_.m_resLatHem == "S" ? QStringLiteral("S : sud") : QStringLiteral("N : nord"),
         check});
    QStringList name = {DisplayName(dialog_.m_nearestName)};
    if (figures_->input.known && std::isfinite(figures_->knownDistance)) {
        name << QStringLiteral("Cette position est à %1 du point géodésique.")
                    .arg(QString::fromStdString(geodesy::FormatDistance(figures_->knownDistance)));
    }
    name << check;
    set(kNearestName, name);
}
