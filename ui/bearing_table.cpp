#include "ui/bearing_table.h"

#include "geodesy/coordinate_formats.h"
#include "geodesy/geodesic_check.h"
#include "ui/display_text.h"
#include "ui/estimate_panel.h"
#include "ui/form/form_number.h"
#include "ui/north_choice.h"

#include <QComboBox>
#include <QCompleter>
#include <QDate>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <limits>
#include <optional>

namespace {

namespace geodesy = ervalun::geodesy;

enum Column {
    kStation,
    kLatitude,
    kLongitude,
    kAzimuth,
    kNorth,
    kSigma,
    kActive,
    kResidual,
    kCrossTrack,
    kWeight,
    kShift,
    kRemarks,
    kColumns
};

QString Text(const std::string& utf8) {
    return EstimateText(utf8);
}

QString Signed(double value, int decimals) {
    const std::string text = geodesy::FormatFixed(value, decimals);
    return (value > 0 ? QStringLiteral("+") : QString()) + Text(text);
}

QTableWidgetItem* Cell(const QString& text, bool number = false) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    return item;
}

} // namespace

CBearingTable::CBearingTable(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    table_ = new QTableWidget(0, kColumns, this);
    table_->setObjectName(QStringLiteral("bearingTable"));
    table_->setAccessibleName(QStringLiteral("Relevés"));
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Station"), QStringLiteral("Latitude"), QStringLiteral("Longitude"),
         QStringLiteral("Azimut"), QStringLiteral("Nord"), QStringLiteral("σ"),
         QStringLiteral("Actif"), QStringLiteral("Résidu"), QStringLiteral("Écart"),
         QStringLiteral("Poids"), QStringLiteral("Sans lui"), QStringLiteral("Remarques")});
    const QString tips[kColumns] = {
        QStringLiteral("Les deux premières lignes suivent les observations du dialogue"),
        {},
        {},
        QStringLiteral("Azimut tel que saisi, en degrés"),
        QStringLiteral("Le nord de l'azimut ; la correction vers le nord vrai en info-bulle"),
        QStringLiteral("Écart type de l'azimut ; vide : la valeur par défaut"),
        QStringLiteral("Décocher pour laisser ce relevé de côté"),
        QStringLiteral("Azimut observé moins azimut calculé vers l'estimation"),
        QStringLiteral("Le résidu en mètres, en travers de la ligne, à la distance de "
                       "l'estimation"),
        QStringLiteral("Poids final donné par l'estimateur"),
        QStringLiteral("Déplacement de l'estimation si l'on retire ce relevé"),
        {}};
    for (int column = 0; column < kColumns; ++column) {
        table_->horizontalHeaderItem(column)->setToolTip(tips[column]);
    }
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    // One height for every row, whatever glyph a cell holds.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    table_->setMinimumHeight(130);
    layout->addWidget(table_, 1);

    // The form of a new row, as the dialog's: degrees, minutes, seconds and the hemisphere.
    auto* form = new QGridLayout;
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("bearingName"));
    name_->setPlaceholderText(QStringLiteral("nom d'une position de l'annuaire, ou libre"));
    auto* nameLabel = new QLabel(QStringLiteral("&Station"), this);
    nameLabel->setBuddy(name_);
    form->addWidget(nameLabel, 0, 0);
    form->addWidget(name_, 0, 1, 1, 4);
    MakePositionField(form);
    auto addAngle = [&](int row, const QString& label, const char* prefix, QLineEdit*& degrees,
                        QLineEdit*& minutes, QLineEdit*& seconds, QComboBox*& hemisphere,
                        const QString& positive, const QString& negative) {
        auto* title = new QLabel(label, this);
        form->addWidget(title, row, 0);
        const QString base = QString::fromLatin1(prefix);
        // Named without the mnemonic, for screen readers and the messages.
        const QString spoken = QString(label).remove(QLatin1Char('&'));
        degrees = MakeNumber((base + QStringLiteral("Deg")).toLatin1().constData(),
                             spoken + QStringLiteral(", degrés"), 48);
        minutes = MakeNumber((base + QStringLiteral("Min")).toLatin1().constData(),
                             spoken + QStringLiteral(", minutes"), 40);
        seconds = MakeNumber((base + QStringLiteral("Sec")).toLatin1().constData(),
                             spoken + QStringLiteral(", secondes"), 64);
        title->setBuddy(degrees);
        hemisphere = new QComboBox(this);
        hemisphere->setObjectName(base + QStringLiteral("Hem"));
        hemisphere->addItems({positive, negative});
        hemisphere->setAccessibleName(spoken + QStringLiteral(", hémisphère"));
        int column = 1;
        for (auto [field, unit] :
             {std::pair<QWidget*, const char*>{degrees, "°"}, {minutes, "'"}, {seconds, "\""}}) {
            form->addWidget(field, row, column++);
            form->addWidget(new QLabel(QString::fromUtf8(unit), this), row, column++);
        }
        form->addWidget(hemisphere, row, column);
    };
    addAngle(1, QStringLiteral("&Latitude"), "bearingLat", latDeg_, latMin_, latSec_, latHem_,
             QStringLiteral("N"), QStringLiteral("S"));
    addAngle(2, QStringLiteral("L&ongitude"), "bearingLon", lonDeg_, lonMin_, lonSec_, lonHem_,
             QStringLiteral("E"), QStringLiteral("O"));
    auto* azimuthLabel = new QLabel(QStringLiteral("A&zimut"), this);
    azimuth_ = MakeNumber("bearingAzimuth", QStringLiteral("Azimut, degrés"), 64);
    azimuthLabel->setBuddy(azimuth_);
    form->addWidget(azimuthLabel, 1, 9);
    form->addWidget(azimuth_, 1, 10);
    auto* sigmaLabel = new QLabel(QStringLiteral("σ (option)"), this);
    sigma_ =
        MakeNumber("bearingSigma", QStringLiteral("Sigma de l'azimut, degrés, facultatif"), 64);
    sigma_->setPlaceholderText(QStringLiteral("défaut"));
    sigmaLabel->setBuddy(sigma_);
    form->addWidget(sigmaLabel, 2, 9);
    form->addWidget(sigma_, 2, 10);
    // A compass reading unless said otherwise, taken today unless said otherwise.
    auto* northLabel = new QLabel(QStringLiteral("&Nord"), this);
    north_ = MakeNorthCombo(this, "bearingNorth", QStringLiteral("Nord de l'azimut"), false);
    north_->setCurrentIndex(kMagneticNorthChoice);
    northLabel->setBuddy(north_);
    form->addWidget(northLabel, 1, 11);
    form->addWidget(north_, 1, 12);
    auto* dateLabel = new QLabel(QStringLiteral("&Date"), this);
    date_ = new QDateEdit(QDate::currentDate(), this);
    date_->setObjectName(QStringLiteral("bearingDate"));
    date_->setAccessibleName(QStringLiteral("Date du relevé, pour la déclinaison magnétique"));
    date_->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    date_->setCalendarPopup(true);
    dateLabel->setBuddy(date_);
    form->addWidget(dateLabel, 2, 11);
    form->addWidget(date_, 2, 12);
    auto* add = new QPushButton(QStringLiteral("&Ajouter"), this);
    add->setObjectName(QStringLiteral("bearingAdd"));
    form->addWidget(add, 1, 13);
    remove_ = new QPushButton(QStringLiteral("&Retirer"), this);
    remove_->setObjectName(QStringLiteral("bearingRemove"));
    remove_->setToolTip(QStringLiteral("Retire les relevés ajoutés choisis dans le tableau"));
    form->addWidget(remove_, 2, 13);
    form->setColumnStretch(14, 1);
    layout->addLayout(form);
    MakePositionRead(layout);
    mistake_ = new QLabel(this);
    mistake_->setObjectName(QStringLiteral("bearingMistake"));
    mistake_->setWordWrap(true);
    mistake_->setStyleSheet(QStringLiteral("color: #b00000"));
    mistake_->hide();
    layout->addWidget(mistake_);

    connect(name_, &QLineEdit::textChanged, this, [this](const QString& t) { OnNameEdited(t); });
    connect(position_, &QLineEdit::textChanged, this,
            [this](const QString& t) { OnPositionEdited(t); });
    connect(add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(remove_, &QPushButton::clicked, this, [this] { OnRemove(); });
    connect(table_, &QTableWidget::cellChanged, this,
            [this](int row, int column) { OnItemChanged(row, column); });
    Fill();
}

QLineEdit* CBearingTable::MakeNumber(const char* objectName, const QString& accessibleName,
                                     int width) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->setAccessibleName(accessibleName);
    edit->setMaximumWidth(width);
    connect(edit, &QLineEdit::returnPressed, this, [this] { OnAdd(); });
    return edit;
}

void CBearingTable::SetDirectory(const std::vector<KnownPosition>* directory) {
    if (directory == directory_ &&
        (directory == nullptr || byName_.size() > 0 || directory->empty())) {
        return;
    }
    directory_ = directory;
    byName_.clear();
    // The estimate's next station looks there: estimated again below.
    QStringList names;
    if (directory != nullptr) {
        names.reserve(static_cast<qsizetype>(directory->size()));
        for (std::size_t i = 0; i < directory->size(); ++i) {
            const QString name = DisplayName((*directory)[i].name);
            if (!byName_.contains(name)) {
                byName_.insert(name, static_cast<int>(i));
                names << name;
            }
        }
    }
    auto* completer = new QCompleter(names, name_);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    delete name_->completer();
    name_->setCompleter(completer);
    emit rowsChanged(false);
}

void CBearingTable::OnNameEdited(const QString& text) {
    // A directory name fills the position, in the directory's own degrees, minutes and seconds.
    const auto found = byName_.constFind(text.trimmed());
    if (directory_ == nullptr || found == byName_.constEnd()) {
        return;
    }
    const KnownPosition& entry = (*directory_)[static_cast<std::size_t>(*found)];
    auto number = [](double value) {
        return QString::fromStdString(ervalun::FormatFormNumber(std::fabs(value)));
    };
    latDeg_->setText(number(entry.latitudeDegrees));
    latMin_->setText(number(entry.latitudeMinutes));
    latSec_->setText(number(entry.latitudeSeconds));
    latHem_->setCurrentIndex(std::signbit(entry.latitudeDegrees) ? 1 : 0);
    lonDeg_->setText(number(entry.longitudeDegrees));
    lonMin_->setText(number(entry.longitudeMinutes));
    lonSec_->setText(number(entry.longitudeSeconds));
    lonHem_->setCurrentIndex(std::signbit(entry.longitudeDegrees) ? 1 : 0);
}

void CBearingTable::OnAdd() {
    QLineEdit* wrong = nullptr;
    QString why;
    geodesy::BearingRow row;
    row.name = name_->text().trimmed().toStdString();
    std::optional<double> latitude;
    std::optional<double> longitude;
    ReadStation(latitude, longitude, wrong, why);
    if (wrong == position_) {
        // Said above, in the reader's words.
    } else if (wrong) {
        why = QStringLiteral("%1 : « %2 » n'est pas accepté (degrés jusqu'à %3, minutes et "
                             "secondes sous 60, avec un point décimal).")
                  .arg(wrong->accessibleName(), wrong->text(),
                       wrong == latDeg_ || wrong == latMin_ || wrong == latSec_
                           ? QStringLiteral("90")
                           : QStringLiteral("180"));
    } else if (ervalun::ParseFormNumber(azimuth_->text().trimmed().toStdString(), row.azimuth) !=
               ervalun::FormNumberStatus::Ok) {
        wrong = azimuth_;
        why = QStringLiteral("Azimut : « %1 » n'est pas un nombre de degrés entre 0 et 360.")
                  .arg(azimuth_->text());
    } else if (!sigma_->text().trimmed().isEmpty() &&
               (ervalun::ParseFormNumber(sigma_->text().trimmed().toStdString(), row.sigma) !=
                    ervalun::FormNumberStatus::Ok ||
                !(row.sigma > 0.0 && row.sigma <= 90.0))) {
        wrong = sigma_;
        why = QStringLiteral("σ : « %1 » n'est pas un nombre de degrés au-dessus de 0 ; "
                             "vide : la valeur par défaut.")
                  .arg(sigma_->text());
    }
    if (wrong) {
        mistake_->setText(why);
        mistake_->show();
        wrong->setFocus();
        wrong->selectAll();
        return;
    }
    mistake_->hide();
    row.latitude = *latitude;
    row.longitude = *longitude;
    row.north = static_cast<geodesy::NorthReference>(north_->currentIndex());
    const QDate date = date_->date();
    row.date = {date.year(), date.month(), date.day()};
    if (sigma_->text().trimmed().isEmpty()) {
        row.sigma = std::numeric_limits<double>::quiet_NaN();
    }
    userRows_.push_back(std::move(row));
    // Ready for the next bearing from another station.
    for (QLineEdit* edit :
         {name_, position_, latDeg_, latMin_, latSec_, lonDeg_, lonMin_, lonSec_, azimuth_}) {
        edit->clear();
    }
    name_->setFocus();
    Fill();
    emit rowsChanged(true);
}

void CBearingTable::OnRemove() {
    std::vector<bool> chosen(userRows_.size(), false);
    bool any = false;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
        const int user = index.row() - DialogRowCount();
        if (user >= 0 && static_cast<std::size_t>(user) < userRows_.size()) {
            chosen[static_cast<std::size_t>(user)] = true;
            any = true;
        }
    }
    if (!any) {
        return;
    }
    std::vector<geodesy::BearingRow> kept;
    for (std::size_t i = 0; i < userRows_.size(); ++i) {
        if (!chosen[i]) {
            kept.push_back(userRows_[i]);
        }
    }
    userRows_ = std::move(kept);
    Fill();
    emit rowsChanged(true);
}

void CBearingTable::OnItemChanged(int row, int column) {
    if (filling_ || column != kActive) {
        return;
    }
    const bool active = table_->item(row, column)->checkState() == Qt::Checked;
    const bool dialog = row < DialogRowCount();
    geodesy::BearingRow& changed =
        dialog ? dialogRows_[static_cast<std::size_t>(row)]
               : userRows_[static_cast<std::size_t>(row - DialogRowCount())];
    changed.active = active;
    emit rowsChanged(!dialog);
}

void CBearingTable::SetDialogRows(const geodesy::BearingRow& first,
                                  const geodesy::BearingRow& second) {
    std::vector<geodesy::BearingRow> rows = {first, second};
    for (std::size_t i = 0; i < dialogRows_.size(); ++i) {
        rows[i].active = dialogRows_[i].active;
    }
    dialogRows_ = std::move(rows);
    Fill();
    emit rowsChanged(false);
}

void CBearingTable::SetUserRows(std::vector<geodesy::BearingRow> rows) {
    userRows_ = std::move(rows);
    Fill();
    emit rowsChanged(false);
}

std::vector<geodesy::BearingRow> CBearingTable::Rows() const {
    std::vector<geodesy::BearingRow> rows = dialogRows_;
    rows.insert(rows.end(), userRows_.begin(), userRows_.end());
    return rows;
}

void CBearingTable::Fill() {
    filling_ = true;
    const std::vector<geodesy::BearingRow> rows = Rows();
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const geodesy::BearingRow& row = rows[static_cast<std::size_t>(r)];
        const bool dialog = r < DialogRowCount();
        auto* name = Cell(DisplayName(row.name));
        if (dialog) {
            name->setToolTip(
                QStringLiteral("Observation %1 du dialogue, refaite à chaque calcul").arg(r + 1));
            name->setBackground(QColor(235, 240, 250));
        }
        table_->setItem(r, kStation, name);
        table_->setItem(r, kLatitude, Cell(Text(geodesy::FormatDms(row.latitude, true)), true));
        table_->setItem(r, kLongitude, Cell(Text(geodesy::FormatDms(row.longitude, false)), true));
        table_->setItem(r, kAzimuth,
                        Cell(QString::fromStdString(ervalun::FormatFormNumber(row.azimuth)) +
                                 QStringLiteral("°"),
                             true));
        table_->setItem(r, kNorth, Cell(NorthCellText(row)));
        table_->setItem(r, kSigma,
                        Cell(std::isfinite(row.sigma)
                                 ? Text(geodesy::FormatFixed(row.sigma, 2) + "°")
                                 : QStringLiteral("défaut"),
                             true));
        auto* active = new QTableWidgetItem;
        active->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        active->setCheckState(row.active ? Qt::Checked : Qt::Unchecked);
        active->setToolTip(QStringLiteral("Décocher pour laisser ce relevé de côté"));
        table_->setItem(r, kActive, active);
        for (int column = kResidual; column < kColumns; ++column) {
            table_->setItem(r, column, Cell(QString(), column != kRemarks));
        }
    }
    remove_->setEnabled(!userRows_.empty());
    filling_ = false;
}

void CBearingTable::ShowCorrections(std::vector<geodesy::NorthCorrection> corrections,
                                    const QStringList& dialogNorths) {
    filling_ = true;
    corrections_ = std::move(corrections);
    for (int r = 0; r < table_->rowCount() && r < static_cast<int>(corrections_.size()); ++r) {
        const geodesy::NorthCorrection& correction = corrections_[static_cast<std::size_t>(r)];
        QTableWidgetItem* cell = table_->item(r, kNorth);
        if (r < DialogRowCount() && r < dialogNorths.size()) {
            cell->setText(dialogNorths[r]);
        }
        cell->setToolTip(Text(correction.text));
        cell->setForeground(correction.ok ? palette().color(QPalette::Text) : QColor(190, 0, 0));
    }
    filling_ = false;
}

void CBearingTable::ShowResiduals(const geodesy::BearingEstimate& estimate) {
    filling_ = true;
    const std::vector<geodesy::BearingRow> rows = Rows();
    for (int r = 0; r < table_->rowCount(); ++r) {
        const std::size_t i = static_cast<std::size_t>(r);
        QString cells[kColumns];
        // Never used uncorrected: the reason stands with or without an estimate.
        const bool uncorrected = i < corrections_.size() && !corrections_[i].ok;
        if (uncorrected) {
            cells[kRemarks] =
                QStringLiteral("laissé de côté, sans correction : ") + Text(corrections_[i].text);
        }
        if (estimate.Found() && i < estimate.residuals.size()) {
            const geodesy::BearingResidual& residual = estimate.residuals[i];
            cells[kResidual] = Signed(residual.residual, 2) + QStringLiteral("°");
            cells[kCrossTrack] = Signed(residual.crossTrack, 0) + QStringLiteral(" m");
            cells[kWeight] = Text(geodesy::FormatFixed(residual.weight, 2));
            cells[kShift] = Text(geodesy::FormatDistance(residual.leaveOneOutShift));
            QStringList remarks;
            if (residual.outlier) {
                remarks << QStringLiteral("hors norme");
            }
            if (residual.behind) {
                remarks << QStringLiteral("derrière la station");
            }
            if (residual.weight > 0.0 && residual.weight < 0.999) {
                remarks << QStringLiteral("poids réduit");
            }
            if (i < rows.size() && !rows[i].active) {
                remarks << QStringLiteral("laissé de côté");
            }
            if (!uncorrected) {
                cells[kRemarks] = remarks.join(QStringLiteral(", "));
            }
        }
        for (int column = kResidual; column < kColumns; ++column) {
            table_->item(r, column)->setText(cells[column]);
            table_->item(r, column)->setForeground(
                estimate.Found() && i < estimate.residuals.size() && estimate.residuals[i].outlier
                    ? QColor(190, 0, 0)
                    : palette().color(QPalette::Text));
        }
    }
    filling_ = false;
}
