#pragma once

#include "geodesy/field_export.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;

// "Coordonnées": one point of the window's scene (the estimate, the two-bearing fixes, each
// station) in every form people in the field read, each with a button that copies it.
class CCoordinatesPanel : public QWidget {
    Q_OBJECT
public:
    explicit CCoordinatesPanel(QWidget* parent = nullptr);

    // The points offered; the one chosen stays chosen while it is there.
    void SetScene(const ervalun::geodesy::FieldScene& scene);

private:
    struct Point {
        QString name;
        double latitude;
        double longitude;
    };
    void ShowPoint();

    std::vector<Point> points_;
    QComboBox* choice_ = nullptr;
    std::vector<QLineEdit*> values_;
    std::vector<QPushButton*> copies_;
};
