#pragma once

#include "geodesy/bearing_estimate.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;

// How the user wants the bearings of the table combined, kept between runs in the user's
// settings.
struct EstimateSettings {
    ervalun::geodesy::Estimator estimator = ervalun::geodesy::Estimator::MaximumLikelihood;
    double defaultSigma = 2.0; // degrees
    bool estimateSigma = false;
    double confidence = 0.95;

    static EstimateSettings Load();
    void Save() const;
    ervalun::geodesy::EstimateOptions Options() const;
};

// The estimator's settings and what it gives: the estimate, its ellipse, the warnings and the
// station where one more bearing would help most, or why there is no estimate.
class CEstimatePanel : public QWidget {
    Q_OBJECT
public:
    explicit CEstimatePanel(QWidget* parent = nullptr);

    EstimateSettings Settings() const;
    // directoryKnown: whether the suggestion could look at a directory at all.
    void Show(const ervalun::geodesy::BearingEstimate& estimate,
              const ervalun::geodesy::NextStation& next, bool directoryKnown);

signals:
    void settingsChanged();

private:
    void OnSettingEdited();

    QComboBox* estimator_ = nullptr;
    QDoubleSpinBox* sigma_ = nullptr;
    QCheckBox* estimateSigma_ = nullptr;
    QComboBox* confidence_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* position_ = nullptr;
    QLabel* ellipse_ = nullptr;
    QLabel* warnings_ = nullptr;
    QLabel* next_ = nullptr;
};

// Texts shared by the panel and the table; numbers always with a decimal point.
QString EstimateText(const std::string& utf8);
QString HectaresText(double hectares);
