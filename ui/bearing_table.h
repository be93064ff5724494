#pragma once

#include "data/records.h"
#include "geodesy/bearing_estimate.h"
#include "geodesy/bearing_rows.h"

#include <QHash>
#include <QWidget>

#include <optional>
#include <vector>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The bearings of the geodesic window: first the dialog's two observations, refilled after each
// calculation, then the rows the user adds, a station picked from the directory by name or
// typed in degrees, minutes and seconds or in one field in any form of the field (decimal
// degrees, degrees and minutes, UTM, MGRS, Lambert 93...), with its azimuth, the north it is
// read from and the day it was taken, and an optional sigma. Each row may be left out. The
// estimate's figures of each row are shown beside it.
class CBearingTable : public QWidget {
    Q_OBJECT
public:
    explicit CBearingTable(QWidget* parent = nullptr);

    // The directory whose names the station field completes; null while it is not read. It must
    // stay as it is while shown.
    void SetDirectory(const std::vector<KnownPosition>* directory);
    const std::vector<KnownPosition>* Directory() const { return directory_; }

    // The dialog's two observations, as the last calculation used them; a row left out stays so.
    void SetDialogRows(const ervalun::geodesy::BearingRow& first,
                       const ervalun::geodesy::BearingRow& second);
    void SetUserRows(std::vector<ervalun::geodesy::BearingRow> rows);
    const std::vector<ervalun::geodesy::BearingRow>& UserRows() const { return userRows_; }
    // Every row in the table's order: the dialog's (none before the first calculation), then
    // the user's.
    std::vector<ervalun::geodesy::BearingRow> Rows() const;
    int DialogRowCount() const { return static_cast<int>(dialogRows_.size()); }

    // Each row's correction to true north, in the table's order (the "Nord" cell and its
    // tooltip); norths: the "Nord" cell of each dialog row, whose north is the window's.
    void ShowCorrections(std::vector<ervalun::geodesy::NorthCorrection> corrections,
                         const QStringList& dialogNorths);
    // Each row's residual, weight, leave-one-out shift and flags; blank without an estimate. A
    // row without a correction says why it is left out.
    void ShowResiduals(const ervalun::geodesy::BearingEstimate& estimate);

signals:
    // userRows: whether the user's rows changed (and are to be saved). Also sent when the
    // directory is given, which the estimate's next station reads.
    void rowsChanged(bool userRows);

private:
    void Fill();
    void OnNameEdited(const QString& text);
    void OnPositionEdited(const QString& text);
    // The one position field, its reading under the form, and what it says.
    void MakePositionField(class QGridLayout* form);
    void MakePositionRead(class QVBoxLayout* layout);
    bool ReadPosition(std::optional<double>& latitude, std::optional<double>& longitude,
                      QString& why) const;
    // The station's position from the one field when filled, else from the degrees, minutes
    // and seconds; the field to blame when refused.
    void ReadStation(std::optional<double>& latitude, std::optional<double>& longitude,
                     QLineEdit*& wrong, QString& why) const;
    void OnAdd();
    void OnRemove();
    void OnItemChanged(int row, int column);
    QLineEdit* MakeNumber(const char* objectName, const QString& accessibleName, int width);

    std::vector<ervalun::geodesy::BearingRow> dialogRows_;
    std::vector<ervalun::geodesy::BearingRow> userRows_;
    const std::vector<KnownPosition>* directory_ = nullptr;
    QHash<QString, int> byName_;
    bool filling_ = false;

    QTableWidget* table_ = nullptr;
    QLineEdit* name_ = nullptr;
    // The position typed in any form the field uses, and what was read of it.
    QLineEdit* position_ = nullptr;
    QLabel* positionRead_ = nullptr;
    QLineEdit* latDeg_ = nullptr;
    QLineEdit* latMin_ = nullptr;
    QLineEdit* latSec_ = nullptr;
    QComboBox* latHem_ = nullptr;
    QLineEdit* lonDeg_ = nullptr;
    QLineEdit* lonMin_ = nullptr;
    QLineEdit* lonSec_ = nullptr;
    QComboBox* lonHem_ = nullptr;
    QLineEdit* azimuth_ = nullptr;
    QLineEdit* sigma_ = nullptr;
    QComboBox* north_ = nullptr;
    QDateEdit* date_ = nullptr;
    std::vector<ervalun::geodesy::NorthCorrection> corrections_;
    QPushButton* remove_ = nullptr;
    QLabel* mistake_ = nullptr;
};
