#pragma once

#include "data/message_sink.h"
#include "data/records.h"
#include "geodesy/bearing_estimate.h"
#include "geodesy/bearing_rows.h"

#include <QWidget>

#include <vector>

class CBearingSketch;
class CBearingTable;
class CEstimatePanel;

// The many-bearing part of the geodesic window: the table of bearings, the estimate the
// estimator makes of them, and its sketch. The user's rows are saved in the working folder's
// rows file at each change; the dialog's two rows are not, being remade at each calculation.
class CBearingsPage : public QWidget {
    Q_OBJECT
public:
    explicit CBearingsPage(QWidget* parent = nullptr);

    // Where a failure to save the rows is told; none: not told.
    void SetMessages(MessageSink* messages) { messages_ = messages; }
    // Added to every azimuth for the estimate, degrees east.
    void SetDeclination(double declination);

    CBearingTable* Table() const { return table_; }
    const ervalun::geodesy::BearingEstimate& Estimate() const { return estimate_; }
    // The bearings the estimate was made of, azimuths corrected.
    const std::vector<ervalun::geodesy::BearingInput>& Inputs() const { return inputs_; }

signals:
    // After each estimate: a change of the table or of the settings.
    void estimated();

private:
    void Run();
    void Save();

    CBearingTable* table_ = nullptr;
    CEstimatePanel* panel_ = nullptr;
    CBearingSketch* sketch_ = nullptr;
    MessageSink* messages_ = nullptr;
    double declination_ = 0.0;
    ervalun::geodesy::BearingEstimate estimate_;
    std::vector<ervalun::geodesy::BearingInput> inputs_;
};
