#pragma once

#include "data/message_sink.h"
#include "data/records.h"
#include "geodesy/bearing_estimate.h"
#include "geodesy/bearing_rows.h"

#include <QStringList>
#include <QWidget>

#include <vector>

class CBearingSketch;
class CBearingTable;
class CEstimatePanel;

// The many-bearing part of the geodesic window: the table of bearings, the estimate the
// estimator makes of their true azimuths, and its sketch. The user's rows are saved in the working
// folder's rows file at each change; the dialog's two rows are not, being remade at each
// calculation.
class CBearingsPage : public QWidget {
    Q_OBJECT
public:
    explicit CBearingsPage(QWidget* parent = nullptr);

    // Where a failure to save the rows is told; none: not told.
    void SetMessages(MessageSink* messages) { messages_ = messages; }
    // How the dialog's two observations are made true, with the window's name of their north
    // for the table; until given, by their rows' own north.
    void SetDialogCorrections(std::vector<ervalun::geodesy::NorthCorrection> corrections,
                              const QStringList& norths);

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
    std::vector<ervalun::geodesy::NorthCorrection> dialogCorrections_;
    QStringList dialogNorths_;
    ervalun::geodesy::BearingEstimate estimate_;
    std::vector<ervalun::geodesy::BearingInput> inputs_;
};
