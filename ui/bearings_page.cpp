#include "ui/bearings_page.h"

#include "ui/bearing_sketch.h"
#include "ui/bearing_table.h"
#include "ui/estimate_panel.h"
#include "ui/north_choice.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

namespace geodesy = ervalun::geodesy;

// Far enough to see where lines go that do not cross: the widest spread of the stations, roughly.
double StationSpan(const std::vector<geodesy::BearingInput>& inputs) {
    double span = 0.0;
    for (const geodesy::BearingInput& a : inputs) {
        for (const geodesy::BearingInput& b : inputs) {
            const double north = (a.latitude - b.latitude) * 111320.0;
            const double east = (a.longitude - b.longitude) * 111320.0 *
                                std::cos(a.latitude * std::numbers::pi / 180.0);
            span = std::max(span, std::hypot(north, east));
        }
    }
    return span;
}

} // namespace

CBearingsPage::CBearingsPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("bearingsPage"));
    auto* layout = new QVBoxLayout(this);
    table_ = new CBearingTable(this);
    layout->addWidget(table_, 2);
    auto* row = new QHBoxLayout;
    panel_ = new CEstimatePanel(this);
    sketch_ = new CBearingSketch(this);
    row->addWidget(panel_, 1);
    row->addWidget(sketch_, 1);
    layout->addLayout(row, 3);

    connect(table_, &CBearingTable::rowsChanged, this, [this](bool userRows) {
        if (userRows) {
            Save();
        }
        Run();
    });
    connect(panel_, &CEstimatePanel::settingsChanged, this, [this] { Run(); });
    Run();
}

void CBearingsPage::SetDialogCorrections(std::vector<geodesy::NorthCorrection> corrections,
                                         const QStringList& norths) {
    dialogCorrections_ = std::move(corrections);
    dialogNorths_ = norths;
    Run();
}

void CBearingsPage::Save() {
    if (!geodesy::WriteBearingRowsFile(geodesy::kBearingRowsFileName, table_->UserRows()) &&
        messages_ != nullptr) {
        messages_->ShowMessage(std::string("Les relevés n'ont pas pu être enregistrés dans ") +
                               geodesy::kBearingRowsFileName +
                               " (dossier de travail) : ils restent affichés, mais seront "
                               "perdus à la fermeture du programme.");
    }
}

void CBearingsPage::Run() {
    std::vector<geodesy::BearingInput> inputs;
    std::vector<geodesy::NorthCorrection> corrections;
    const std::vector<geodesy::BearingRow> rows = table_->Rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const geodesy::BearingRow& row = rows[i];
        const bool dialog =
            i < static_cast<std::size_t>(table_->DialogRowCount()) && i < dialogCorrections_.size();
        corrections.push_back(dialog ? dialogCorrections_[i] : RowCorrection(row));
        geodesy::BearingInput input;
        input.name = row.name;
        input.latitude = row.latitude;
        input.longitude = row.longitude;
        // The estimate works on true azimuths; a bearing that cannot be made true is left out
        // (drawn as typed), never used uncorrected.
        const bool corrected = corrections.back().ok;
        input.azimuth = corrected ? corrections.back().azimuth : row.azimuth;
        input.sigma = row.sigma;
        input.excluded = !row.active || !corrected;
        inputs.push_back(std::move(input));
    }
    table_->ShowCorrections(std::move(corrections), dialogNorths_);
    const geodesy::EstimateOptions options = panel_->Settings().Options();
    estimate_ = geodesy::EstimatePosition(inputs, options);
    const std::vector<KnownPosition>* directory = table_->Directory();
    geodesy::NextStation next;
    if (estimate_.Found() && directory != nullptr) {
        next = geodesy::SuggestNextStation(estimate_, inputs, options, *directory);
    }
    table_->ShowResiduals(estimate_);
    panel_->Show(estimate_, next, directory != nullptr);

    // Each line a little beyond the estimate, or across the stations' spread without one.
    const double span = std::max(StationSpan(inputs), 1000.0);
    std::vector<CBearingSketch::Line> lines;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        double length = 1.5 * span;
        bool outlier = false;
        if (estimate_.Found() && i < estimate_.residuals.size()) {
            const geodesy::BearingResidual& residual = estimate_.residuals[i];
            if (std::isfinite(residual.distance)) {
                // Long enough to be seen from a station close to the estimate.
                length =
                    std::max(residual.distance * 1.2 + std::max(estimate_.ellipse.semiMajor, 0.0),
                             0.6 * span);
            }
            outlier = residual.outlier;
        }
        if (!std::isfinite(length) || length <= 0.0) {
            length = 1.5 * span;
        }
        lines.push_back(
            {inputs[i],
             geodesy::GeodesicPath(inputs[i].latitude, inputs[i].longitude, inputs[i].azimuth,
                                   length, std::max(length / 2000.0, 0.5)),
             outlier});
    }
    std::vector<geodesy::GeoPoint> ring;
    if (estimate_.Found() && std::isfinite(estimate_.ellipse.semiMajor)) {
        ring = geodesy::EllipseRing(estimate_, std::max(estimate_.ellipse.semiMajor / 500.0, 0.1));
    }
    sketch_->Show(std::move(lines), estimate_, std::move(ring));
    inputs_ = std::move(inputs);
    emit estimated();
}
