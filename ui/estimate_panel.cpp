#include "ui/estimate_panel.h"

#include "geodesy/geodesic_check.h"
#include "ui/display_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSettings>
#include <QVBoxLayout>

#include <cmath>

namespace {

namespace geodesy = ervalun::geodesy;

const char* const kEstimatorKey = "releves/estimateur";
const char* const kSigmaKey = "releves/sigmaParDefaut";
const char* const kEstimateSigmaKey = "releves/sigmaEstime";
const char* const kConfidenceKey = "releves/confiance";

QSettings UserSettings() {
    return QSettings(QStringLiteral("Ervalun"), QStringLiteral("ervalun"));
}

QLabel* MakeValue(QWidget* parent, const char* objectName) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

QString EstimateText(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString HectaresText(double hectares) {
    if (!std::isfinite(hectares)) {
        return QStringLiteral("—");
    }
    const int decimals = hectares < 10 ? 2 : hectares < 1000 ? 1 : 0;
    return EstimateText(geodesy::FormatFixed(hectares, decimals) + " ha");
}

EstimateSettings EstimateSettings::Load() {
    const QSettings settings = UserSettings();
    EstimateSettings loaded;
    bool ok = false;
    const int estimator = settings.value(QLatin1String(kEstimatorKey)).toInt(&ok);
    if (ok && estimator >= 0 && estimator <= 2) {
        loaded.estimator = static_cast<geodesy::Estimator>(estimator);
    }
    const double sigma = settings.value(QLatin1String(kSigmaKey)).toDouble(&ok);
    if (ok && std::isfinite(sigma) && sigma >= 0.1 && sigma <= 45) {
        loaded.defaultSigma = sigma;
    }
    loaded.estimateSigma = settings.value(QLatin1String(kEstimateSigmaKey), false).toBool();
    const double confidence = settings.value(QLatin1String(kConfidenceKey)).toDouble(&ok);
    if (ok && (confidence == 0.5 || confidence == 0.95)) {
        loaded.confidence = confidence;
    }
    return loaded;
}

void EstimateSettings::Save() const {
    QSettings settings = UserSettings();
    settings.setValue(QLatin1String(kEstimatorKey), static_cast<int>(estimator));
    settings.setValue(QLatin1String(kSigmaKey), defaultSigma);
    settings.setValue(QLatin1String(kEstimateSigmaKey), estimateSigma);
    settings.setValue(QLatin1String(kConfidenceKey), confidence);
}

geodesy::EstimateOptions EstimateSettings::Options() const {
    geodesy::EstimateOptions options;
    options.estimator = estimator;
    options.defaultSigma = defaultSigma;
    options.estimateSigma = estimateSigma;
    options.confidence = confidence;
    return options;
}

CEstimatePanel::CEstimatePanel(QWidget* parent) : QWidget(parent) {
    const EstimateSettings settings = EstimateSettings::Load();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* group = new QGroupBox(QStringLiteral("Estimation"), this);
    auto* form = new QFormLayout(group);
    estimator_ = new QComboBox(group);
    estimator_->setObjectName(QStringLiteral("estimateEstimator"));
    estimator_->addItems({QStringLiteral("Maximum de vraisemblance"), QStringLiteral("Huber"),
                          QStringLiteral("Andrews")});
    estimator_->setCurrentIndex(static_cast<int>(settings.estimator));
    form->addRow(QStringLiteral("Esti&mateur"), estimator_);
    sigma_ = new QDoubleSpinBox(group);
    sigma_->setObjectName(QStringLiteral("estimateSigma"));
    sigma_->setLocale(QLocale::c());
    sigma_->setDecimals(2);
    sigma_->setRange(0.1, 45);
    sigma_->setSingleStep(0.5);
    sigma_->setSuffix(QStringLiteral("°"));
    sigma_->setKeyboardTracking(false);
    sigma_->setValue(settings.defaultSigma);
    form->addRow(QStringLiteral("σ par dé&faut"), sigma_);
    estimateSigma_ =
        new QCheckBox(QStringLiteral("σ estimé d'après les résidus (4 relevés ou plus)"), group);
    estimateSigma_->setObjectName(QStringLiteral("estimateFromResiduals"));
    estimateSigma_->setChecked(settings.estimateSigma);
    form->addRow(estimateSigma_);
    confidence_ = new QComboBox(group);
    confidence_->setObjectName(QStringLiteral("estimateConfidence"));
    confidence_->addItems({QStringLiteral("95 %"), QStringLiteral("50 %")});
    confidence_->setCurrentIndex(settings.confidence == 0.5 ? 1 : 0);
    form->addRow(QStringLiteral("Niveau de &confiance"), confidence_);
    layout->addWidget(group);

    status_ = MakeValue(this, "estimateStatus");
    QFont strong = status_->font();
    strong.setBold(true);
    status_->setFont(strong);
    layout->addWidget(status_);
    position_ = MakeValue(this, "estimatePosition");
    layout->addWidget(position_);
    ellipse_ = MakeValue(this, "estimateEllipse");
    layout->addWidget(ellipse_);
    warnings_ = MakeValue(this, "estimateWarnings");
    warnings_->setStyleSheet(QStringLiteral("color: #a33000"));
    layout->addWidget(warnings_);
    next_ = MakeValue(this, "estimateNext");
    layout->addWidget(next_);
    layout->addStretch(1);

    connect(estimator_, &QComboBox::currentIndexChanged, this, [this] { OnSettingEdited(); });
    connect(sigma_, &QDoubleSpinBox::valueChanged, this, [this] { OnSettingEdited(); });
    connect(estimateSigma_, &QCheckBox::toggled, this, [this] { OnSettingEdited(); });
    connect(confidence_, &QComboBox::currentIndexChanged, this, [this] { OnSettingEdited(); });
}

EstimateSettings CEstimatePanel::Settings() const {
    EstimateSettings settings;
    settings.estimator = static_cast<geodesy::Estimator>(estimator_->currentIndex());
    settings.defaultSigma = sigma_->value();
    settings.estimateSigma = estimateSigma_->isChecked();
    settings.confidence = confidence_->currentIndex() == 1 ? 0.5 : 0.95;
    return settings;
}

void CEstimatePanel::OnSettingEdited() {
    Settings().Save();
    emit settingsChanged();
}

void CEstimatePanel::Show(const geodesy::BearingEstimate& estimate,
                          const geodesy::NextStation& next, bool directoryKnown) {
    if (!estimate.Found()) {
        status_->setText(QStringLiteral("Pas d'estimation : ") +
                         EstimateText(geodesy::EstimateStatusReason(estimate.status)));
        for (QLabel* label : {position_, ellipse_, warnings_, next_}) {
            label->clear();
            label->hide();
        }
        return;
    }
    QString status = QStringLiteral("Estimation (%1) d'après %2 relevés, σ des azimuts %3°")
                         .arg(estimator_->currentText())
                         .arg(estimate.used)
                         .arg(EstimateText(geodesy::FormatFixed(estimate.sigma, 2)));
    if (estimate.sigmaEstimated) {
        status += QStringLiteral(" (estimé d'après les résidus)");
    }
    status_->setText(status);
    position_->setText(EstimateText(geodesy::FormatDms(estimate.latitude, true) + "   " +
                                    geodesy::FormatDms(estimate.longitude, false) + "\n(" +
                                    geodesy::FormatFixed(estimate.latitude, 6) + ", " +
                                    geodesy::FormatFixed(estimate.longitude, 6) + ")"));
    const geodesy::ConfidenceEllipse& e = estimate.ellipse;
    ellipse_->setText(
        QStringLiteral("Ellipse à %1 % : demi-axes %2 et %3, grand axe à l'azimut %4°, "
                       "surface %5")
            .arg(EstimateText(geodesy::FormatFixed(e.level * 100.0, 0)),
                 EstimateText(geodesy::FormatDistance(e.semiMajor)),
                 EstimateText(geodesy::FormatDistance(e.semiMinor)),
                 EstimateText(geodesy::FormatFixed(e.majorAzimuth, 1)),
                 HectaresText(e.areaHectares)));
    QStringList warnings;
    for (const std::string& warning : geodesy::EstimateWarnings(estimate)) {
        warnings << QStringLiteral("• ") + EstimateText(warning);
    }
    for (QLabel* label : {position_, ellipse_, next_}) {
        label->show();
    }
    warnings_->setText(warnings.join(QLatin1Char('\n')));
    // No blank line where there is no warning.
    warnings_->setVisible(!warnings.isEmpty());
    if (!directoryKnown) {
        next_->setText(QStringLiteral("Prochain relevé conseillé : l'annuaire n'est pas chargé."));
    } else if (!next.found) {
        next_->setText(QStringLiteral("Prochain relevé conseillé : aucune position de l'annuaire "
                                      "à moins de 50 km ne réduirait l'ellipse."));
    } else {
        next_->setText(QStringLiteral("Prochain relevé conseillé : depuis « %1 », à %2 ; "
                                      "l'ellipse passerait à %3.")
                           .arg(DisplayName(next.name),
                                EstimateText(geodesy::FormatDistance(next.distance)),
                                HectaresText(next.predictedAreaHectares)));
    }
}
