// The usage text of ervalun-fix, in French, for both modes.

#include "geodesy/fix_cli_north.h"
#include "geodesy/fix_cli_options.h"

#include <string>

namespace ervalun::geodesy {

namespace {

// As printed: one source line per line of the terminal.
constexpr const char* kHead = R"(Usage : ervalun-fix [--spread E] [NORD] [--format F]
        ervalun-fix --multi [--estimator mle|huber|andrews] [--tuning C] [--sigma S]
                    [--estimate-sigma] [--confidence P] [NORD] [--format F]
        ervalun-fix --declination-at LAT LON [--date AAAA-MM-JJ]
        ervalun-fix --help
NORD : --declination D, ou --north true|magnetic|l93|utm [--date AAAA-MM-JJ]

DEUX RELÈVEMENTS (par défaut)

Lit sur l'entrée standard un cas par ligne :
  lat1 lon1 azi1 lat2 lon2 azi2
en degrés décimaux signés (nord et est positifs) : la position de chaque point d'observation
et l'azimut relevé en ce point (degrés depuis le nord vrai, ou celui de --north, sens des
aiguilles d'une montre).
Les lignes vides et celles qui commencent par # sont ignorées.

Écrit une ligne par cas :
  lat lon flat_lat flat_lon offset_m dist1_m dist2_m crossing_deg
  lat lon         le point géodésique : intersection des deux géodésiques sur l'ellipsoïde
                  WGS84 (lignes entières ; de leurs croisements, le plus proche des
                  observateurs)
  flat_lat flat_lon  le point du calcul plan d'Ervalun (les chiffres du dialogue)
  offset_m        distance géodésique entre les deux points (nan si le point plan est
                  au-delà d'un pôle)
  dist1_m dist2_m distance de chaque point d'observation au point géodésique
  crossing_deg    angle d'intersection des deux lignes (0 à 90)

  --spread E       ajoute une dernière colonne spread_m : la plus grande distance entre le
                   point géodésique et les quatre points obtenus en déplaçant chaque azimut
                   de plus ou moins E degrés (inf si les lignes deviennent parallèles)

Une ligne qui n'est pas faite de six nombres, ou un cas sans point géodésique, donne la ligne
  ERREUR ligne N : <raison>

PLUSIEURS RELÈVEMENTS (--multi)

Lit un relèvement par ligne :
  id lat lon azimut [sigma]
id un nom sans espace, lat lon la position du point d'observation et azimut le relèvement
comme ci-dessus ; sigma, facultatif, l'écart type de ce relèvement en degrés.
Les lignes consécutives de même id forment un cas (le même id plus loin, après un autre,
commence un nouveau cas). Un cas reçoit sa réponse dès qu'il est complet : à la première
ligne d'un autre id, ou à la fin de l'entrée.

Écrit une ligne par cas :
  id lat lon se_east_m se_north_m corr semi_major_m semi_minor_m major_azimuth_deg n kappa flagged
  lat lon            la position estimée sur l'ellipsoïde WGS84
  se_east_m se_north_m  écarts types de la position vers l'est et vers le nord
  corr               leur corrélation (6 décimales)
  semi_major_m semi_minor_m  demi-axes de l'ellipse de confiance
  major_azimuth_deg  azimut du grand axe (0 à 180)
  n                  nombre de relèvements utilisés
  kappa              concentration de von Mises d'un relèvement d'écart type --sigma
                     (ou de l'écart type estimé), 3 décimales
  flagged            numéros (à partir de 1, dans l'ordre du cas) des relèvements qui
                     s'écartent nettement de l'estimation, séparés par des virgules, ou -

  --estimator E      mle (maximum de vraisemblance, par défaut : tous les relèvements sont
                     sûrs), huber ou andrews (estimateurs robustes : un relèvement peut
                     être aberrant)
  --tuning C         constante de huber et d'andrews, en écarts types (1.5 par défaut)
  --sigma S          écart type en degrés des relèvements qui n'en donnent pas
                     (2 par défaut)
  --estimate-sigma   écart type tiré des résidus plutôt que des sigma donnés
                     (quatre relèvements au moins)
  --confidence P     niveau de l'ellipse : 0.95 ou 95 (pour cent) par défaut, 0.5 ou 50, etc. ;
                     un nombre au-dessus de 1 est un pourcentage

Un cas sans estimation donne la ligne
  ERREUR cas <id> : <raison>
et une ligne illisible (mauvais nombre de champs, champ qui n'est pas un nombre) la ligne
  ERREUR ligne N : <raison>
aussitôt ; son cas n'a alors pas d'estimation. Les autres cas sont calculés.

LES DEUX MODES

Avec deux relèvements, le point plan prend toujours les azimuts tels que tapés (les chiffres
du dialogue) ; les corrections ci-dessous ne valent que pour le calcul géodésique.

  --north N          nord des azimuts lus : true (vrai, par défaut), magnetic (boussole :
                     la déclinaison du modèle WMM2025 en chaque point, à la date --date),
                     l93 ou utm (quadrillage d'une carte : la convergence en chaque point)
  --date AAAA-MM-JJ  date des relèvements pour --north magnetic (par défaut aujourd'hui)
  --declination D    déclinaison fixe en degrés (est positif), ajoutée à chaque azimut ;
                     refusée avec --north magnetic, l93 ou utm (correction comptée deux fois)
  --format F         gpx, kml ou geojson : au lieu des lignes de réponse, un seul fichier
                     pour tous les cas sur la sortie standard (points d'observation, lignes
                     d'azimut, point géodésique et point plan, ou estimation et ellipse) ;
                     les lignes ERREUR vont alors sur la sortie d'erreur
  --help             affiche cette aide

Un cas dont un azimut ne peut être corrigé (date hors du modèle magnétique, point hors du
Lambert 93) n'a pas de réponse : ERREUR ligne N (deux relèvements) ou ERREUR cas <id>.

DÉCLINAISON ET CONVERGENCES EN UN POINT

)";

constexpr const char* kTail = R"(
Degrés avec 9 décimales, mètres avec 3, toujours avec un point décimal.
Code de sortie : 0 si tous les cas ont une réponse, 1 après une ligne ERREUR, 2 pour une
option incorrecte (ou une date impossible).
)";

} // namespace

const char* FixCliHelp() {
    static const std::string text = std::string(kHead) + kDeclinationAtHelp + kTail;
    return text.c_str();
}

} // namespace ervalun::geodesy
