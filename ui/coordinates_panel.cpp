#include "ui/coordinates_panel.h"

#include "geodesy/coordinate_formats.h"
#include "ui/display_text.h"

#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

namespace geodesy = ervalun::geodesy;

QString Utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CCoordinatesPanel::CCoordinatesPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("coordinatesPanel"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    choice_ = new QComboBox(this);
    choice_->setObjectName(QStringLiteral("coordinatePoint"));
    choice_->setAccessibleName(QStringLiteral("Point"));
    auto* choiceLabel = new QLabel(QStringLiteral("&Point"), this);
    choiceLabel->setBuddy(choice_);
    grid->addWidget(choiceLabel, 0, 0);
    grid->addWidget(choice_, 0, 1, 1, 2);
    const std::vector<geodesy::CoordinateForm>& forms = geodesy::AllCoordinateForms();
    for (std::size_t i = 0; i < forms.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        const QString name = Utf8(geodesy::CoordinateFormName(forms[i]));
        auto* value = new QLineEdit(this);
        value->setObjectName(QStringLiteral("coordinate%1").arg(i));
        value->setAccessibleName(name);
        value->setReadOnly(true);
        auto* copy = new QPushButton(QStringLiteral("Copier"), this);
        copy->setObjectName(QStringLiteral("coordinateCopy%1").arg(i));
        copy->setAccessibleName(QStringLiteral("Copier : ") + name);
        copy->setAutoDefault(false);
        connect(copy, &QPushButton::clicked, this,
                [value] { QGuiApplication::clipboard()->setText(value->text()); });
        grid->addWidget(new QLabel(name, this), row, 0);
        grid->addWidget(value, row, 1);
        grid->addWidget(copy, row, 2);
        values_.push_back(value);
        copies_.push_back(copy);
    }
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    layout->addStretch(1);
    connect(choice_, &QComboBox::currentIndexChanged, this, [this] { ShowPoint(); });
    SetScene({});
}

void CCoordinatesPanel::SetScene(const geodesy::FieldScene& scene) {
    const QString chosen = choice_->currentText();
    points_.clear();
    auto add = [this](const QString& name, const std::optional<geodesy::ScenePoint>& point) {
        if (point) {
            points_.push_back({name, point->latitude, point->longitude});
        }
    };
    add(QStringLiteral("Estimation"), scene.estimate);
    add(QStringLiteral("Point géodésique"), scene.geodesicFix);
    add(QStringLiteral("Point plan"), scene.flatFix);
    for (const geodesy::SceneStation& station : scene.stations) {
        points_.push_back({QStringLiteral("Station ") + DisplayName(station.name), station.latitude,
                           station.longitude});
    }
    const QSignalBlocker quiet(choice_);
    choice_->clear();
    for (const Point& point : points_) {
        choice_->addItem(point.name);
    }
    choice_->setCurrentIndex(std::max(choice_->findText(chosen), 0));
    ShowPoint();
}

void CCoordinatesPanel::ShowPoint() {
    const int index = choice_->currentIndex();
    const std::vector<geodesy::CoordinateForm>& forms = geodesy::AllCoordinateForms();
    for (std::size_t i = 0; i < forms.size(); ++i) {
        QString text;
        if (index >= 0 && static_cast<std::size_t>(index) < points_.size()) {
            const Point& point = points_[static_cast<std::size_t>(index)];
            text = Utf8(geodesy::FormatCoordinate(point.latitude, point.longitude, forms[i]));
        }
        values_[i]->setText(text.isEmpty() ? QStringLiteral("—") : text);
        copies_[i]->setEnabled(!text.isEmpty() && text != QStringLiteral("—"));
    }
}
