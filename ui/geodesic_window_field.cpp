// The geodesic window's tools that hand the answer to the field: the coordinates page, the
// export of the scene and the map page carte.html.
#include "ui/bearings_page.h"
#include "ui/coordinates_panel.h"
#include "ui/field_tools.h"
#include "ui/geodesic_window.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>

namespace geodesy = ervalun::geodesy;

void CGeodesicWindow::AddFieldTools(QTabWidget* tabs, QDialogButtonBox* buttons) {
    coordinates_ = new CCoordinatesPanel(tabs);
    tabs->addTab(coordinates_, QStringLiteral("Coordonnées"));
    auto* exportButton =
        buttons->addButton(QStringLiteral("E&xporter…"), QDialogButtonBox::ActionRole);
    exportButton->setObjectName(QStringLiteral("fieldExport"));
    exportButton->setToolTip(QStringLiteral("Enregistre stations, lignes, estimation et ellipse "
                                            "en GPX, KML ou GeoJSON"));
    auto* mapButton =
        buttons->addButton(QStringLiteral("Ouvrir la &carte"), QDialogButtonBox::ActionRole);
    mapButton->setObjectName(QStringLiteral("fieldMap"));
    mapButton->setToolTip(QStringLiteral("Ouvre carte.html, écrite à chaque calcul, dans le "
                                         "navigateur"));
    for (QPushButton* button : {exportButton, mapButton}) {
        button->setAutoDefault(false);
    }
    connect(exportButton, &QPushButton::clicked, this, [this] { OnExport(); });
    connect(mapButton, &QPushButton::clicked, this, [this] { OpenMap(); });
    connect(bearings_, &CBearingsPage::estimated, this, [this] { OnEstimated(); });
}

geodesy::FieldScene CGeodesicWindow::Scene() const {
    return WindowScene(bearings_->Inputs(), bearings_->Estimate(), figures_);
}

void CGeodesicWindow::OnEstimated() {
    if (coordinates_ == nullptr) {
        return; // still being made
    }
    const geodesy::FieldScene scene = Scene();
    coordinates_->SetScene(scene);
    // Silent, as map.html: the button tells it when asked.
    const geodesy::ExportResult written = WriteFieldMap(scene);
    mapError_ = written.ok ? std::string() : written.error;
}

bool CGeodesicWindow::Export(const QString& path, const QString& filter) {
    const geodesy::ExportResult result = ExportScene(path, filter, Scene());
    if (!result.ok && messages_ != nullptr) {
        messages_->ShowMessage(result.error);
    }
    return result.ok;
}

void CGeodesicWindow::OnExport() {
    QString filter;
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Exporter le résultat"),
                                     QDir::currentPath(), ExportFilters(), &filter);
    if (!path.isEmpty()) {
        Export(path, filter);
    }
}

void CGeodesicWindow::OpenMap() {
    const QString path = QDir::current().absoluteFilePath(QLatin1String(kFieldMapFileName));
    std::string why;
    if (!mapError_.empty()) {
        why = "La carte n'a pas pu être écrite : " + mapError_;
    } else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        why = "Le navigateur n'a pas pu ouvrir " + path.toStdString() + ".";
    }
    if (!why.empty() && messages_ != nullptr) {
        messages_->ShowMessage(why);
    }
}
