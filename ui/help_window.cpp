#include "ui/help_window.h"

#include <QDialogButtonBox>
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
    browser_->setHtml(HelpHtml());
    layout_->addWidget(browser_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setObjectName(QStringLiteral("helpButtons"));
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Fermer"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout_->addWidget(buttons);

    resize(560, 520);
}

QString CHelpWindow::HelpHtml() {
    return QStringLiteral(
        "<h3>Ervalun</h3>"
        "<p>Ervalun calcule une position &agrave; partir de deux points connus, chacun "
        "orient&eacute; "
        "par un azimut relev&eacute; &agrave; la boussole (en degr&eacute;s, compt&eacute;s depuis "
        "le nord "
        "dans le sens des aiguilles d'une montre).</p>"
        "<p>Pour chaque point, entrez la longitude et la latitude en degr&eacute;s, minutes et "
        "secondes avec leur lettre (E ou O, N ou S) et l'azimut, ou choisissez le point dans la "
        "liste &laquo;&nbsp;position&nbsp;&raquo;. Puis cliquez sur "
        "&laquo;&nbsp;Calculer&nbsp;&raquo; "
        "ou appuyez sur Entr&eacute;e. Le r&eacute;sultat s'affiche avec la position connue la "
        "plus "
        "proche. Chaque valeur doit &ecirc;tre comprise entre 0 et 360.</p>"
        "<p>Dans la liste &laquo;&nbsp;Membres&nbsp;&raquo;, choisissez un op&eacute;rateur et "
        "ajoutez les participants&nbsp;; ils sont inscrits au journal &agrave; chaque calcul.</p>"
        "<h4>Fichiers lus (dans le dossier courant)</h4>"
        "<p><b>ervalun.txt</b>&nbsp;: les positions connues, une par ligne&nbsp;: nom (sans "
        "espace), "
        "latitude en degr&eacute;s, minutes, secondes et N ou S, puis longitude en degr&eacute;s, "
        "minutes, secondes et E ou O, s&eacute;par&eacute;s par des espaces. Exemple&nbsp;:<br>"
        "<code>Refuge 45 12 30.5 N 6 5 0 E</code></p>"
        "<p><b>operateurs.txt</b>&nbsp;: les membres, un nom par ligne. Exemple&nbsp;:<br>"
        "<code>Martin Dupont</code></p>"
        "<p><b>calibration.txt</b>&nbsp;: la carte &laquo;&nbsp;map.jpg&nbsp;&raquo;&nbsp;: sa "
        "largeur "
        "et sa hauteur en pixels, puis la longitude et la latitude de son coin en haut &agrave; "
        "gauche et de son coin en bas &agrave; droite, chaque valeur pr&eacute;c&eacute;d&eacute;e "
        "d'un mot libre. Exemple&nbsp;:<br>"
        "<code>largeur 640 hauteur 480 ouest 1 30 0 O nord 48 10 0 N est 0 50 0 E sud 47 40 0 N"
        "</code></p>"
        "<h4>Fichiers &eacute;crits</h4>"
        "<p><b>ervalun.log</b>&nbsp;: le journal des calculs, une ligne ajout&eacute;e par calcul "
        "(op&eacute;rateur, date et heure, les deux points, le r&eacute;sultat, les "
        "participants).</p>"
        "<p><b>map.html</b>&nbsp;: une page qui place sur la carte map.jpg le premier point "
        "(noire.gif), le second (verte.gif) et le r&eacute;sultat (rouge.gif)&nbsp;; elle est "
        "r&eacute;&eacute;crite &agrave; chaque calcul quand calibration.txt est valide.</p>"
        "<h4>Contr&ocirc;le g&eacute;od&eacute;sique</h4>"
        "<p>Le calcul croise les azimuts dans un plan longitude/latitude, qui s'&eacute;carte du "
        "terrain loin de l'&eacute;quateur. Le contr&ocirc;le g&eacute;od&eacute;sique (Ctrl+G, "
        "menu contextuel ou bouton ci-dessous) montre o&ugrave; les deux azimuts se croisent "
        "vraiment sur l'ellipso&iuml;de WGS84 et &agrave; quelle distance du r&eacute;sultat "
        "affich&eacute;&nbsp;; les bulles d'aide des champs du r&eacute;sultat donnent cette "
        "distance. Les azimuts sont compt&eacute;s depuis le nord vrai&nbsp;: un azimut lu "
        "&agrave; "
        "la boussole se corrige de la d&eacute;clinaison magn&eacute;tique, que l'on peut saisir "
        "dans le contr&ocirc;le.</p>");
}
