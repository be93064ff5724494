#include "ui/help_window.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

CHelpWindow::CHelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Aide d'Ervalun"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    layout_ = new QVBoxLayout(this);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpText"));
    browser_->setAccessibleName(QStringLiteral("Aide"));
    browser_->setOpenLinks(false);
    browser_->setHtml(HelpHtml(QDir::toNativeSeparators(QDir::currentPath())));
    layout_->addWidget(browser_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setObjectName(QStringLiteral("helpButtons"));
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Fermer"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout_->addWidget(buttons);

    resize(560, 520);
}

QString CHelpWindow::HelpHtml(const QString& folder) {
    return QStringLiteral(
               "<h3>Ervalun</h3>"
               "<p>Ervalun calcule une position à partir de deux points connus, chacun orienté "
               "par un azimut relevé à la boussole (en degrés, comptés depuis le nord dans le "
               "sens des aiguilles d'une montre).</p>"
               "<p>Pour chaque point, entrez la longitude et la latitude en degrés, minutes et "
               "secondes avec leur lettre (E ou O, N ou S) et l'azimut, ou choisissez le point "
               "dans la liste «&nbsp;position&nbsp;». Puis cliquez sur «&nbsp;Calculer&nbsp;» ou "
               "appuyez sur Entrée&nbsp;: Entrée calcule toujours, même quand «&nbsp;Calculer"
               "&nbsp;» est grisé, et chaque calcul ajoute une ligne au journal. Chaque valeur "
               "doit être comprise entre 0 et 360, avec un point décimal (30.5), pas une "
               "virgule.</p>"
               "<p>«&nbsp;Position proche&nbsp;» nomme la position connue de l'annuaire la plus "
               "proche du résultat, quelle que soit la distance (mesurée dans le plan des "
               "longitudes et latitudes)&nbsp;; sans annuaire, elle affiche RESULTAT.</p>"
               "<p>Dans la liste «&nbsp;Membres&nbsp;», choisissez un opérateur et ajoutez les "
               "participants&nbsp;; ils sont inscrits au journal à chaque calcul.</p>"
               "<h4>Dossier de travail</h4>"
               "<p>Ervalun lit et écrit ses fichiers dans le dossier où il est lancé, "
               "ici&nbsp;:<br><code>%1</code><br>Lancé depuis le menu du bureau, il travaille "
               "dans le dossier <code>~/Ervalun</code> de l'utilisateur, créé au premier "
               "lancement avec des fichiers d'exemple (le massif du Mont-Blanc)&nbsp;; "
               "remplacez-les par ceux de votre région.</p>"
               "<h4>Fichiers lus</h4>"
               "<p><b>ervalun.txt</b>&nbsp;: les positions connues, une par ligne&nbsp;: nom "
               "(sans espace&nbsp;: Col-du-Midi), latitude en degrés, minutes, secondes et N ou "
               "S, puis longitude en degrés, minutes, secondes et E ou O, séparés par des "
               "espaces. Exemple&nbsp;:<br><code>Refuge 45 12 30.5 N 6 5 0 E</code></p>"
               "<p><b>operateurs.txt</b>&nbsp;: les membres, un nom par ligne. Exemple&nbsp;:<br>"
               "<code>Martin Dupont</code></p>"
               "<p><b>calibration.txt</b>&nbsp;: la carte <b>map.jpg</b>&nbsp;: un mot et sa "
               "largeur en pixels, un mot et sa hauteur, puis un mot, les degrés, minutes, "
               "secondes et la lettre pour le bord ouest, le bord nord, le bord est et le bord "
               "sud de l'image. Exemple&nbsp;:<br>"
               "<code>largeur 640 hauteur 480 ouest 1 30 0 O nord 48 10 0 N est 0 50 0 E sud 47 "
               "40 0 N</code><br>La carte doit avoir la même échelle partout en longitude et en "
               "latitude (sans projection qui courbe les méridiens).</p>"
               "<h4>Fichiers écrits</h4>"
               "<p><b>ervalun.log</b>&nbsp;: le journal des calculs, une ligne ajoutée par calcul "
               "(opérateur, date et heure, les deux points, le résultat, les participants).</p>"
               "<p><b>map.html</b>&nbsp;: une page qui place sur la carte map.jpg le premier "
               "point (noire.gif), le second (verte.gif) et le résultat (rouge.gif), images "
               "posées à côté de la page&nbsp;; elle est réécrite à chaque calcul quand "
               "calibration.txt est valide.</p>"
               "<h4>Contrôle géodésique</h4>"
               "<p>Le calcul croise les azimuts dans un plan longitude/latitude, qui s'écarte du "
               "terrain loin de l'équateur. Le contrôle géodésique (Ctrl+G, menu contextuel ou "
               "bouton ci-dessous) montre où les deux azimuts se croisent vraiment sur "
               "l'ellipsoïde WGS84 et à quelle distance du résultat affiché&nbsp;; les bulles "
               "d'aide des champs du résultat donnent cette distance. Les azimuts sont comptés "
               "depuis le nord vrai&nbsp;: un azimut lu à la boussole se corrige de la "
               "déclinaison magnétique, que l'on peut saisir dans le contrôle.</p>")
        .arg(folder.toHtmlEscaped());
}
