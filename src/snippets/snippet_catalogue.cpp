#include "snippets/snippet_catalogue.h"

#include <algorithm>
#include <glib/gi18n-lib.h>

#include "snippets/script_headers.h"

namespace {

using Op = SnippetOperation;

constexpr std::string_view key_of(const char* title) {
    std::string_view t(title);
    std::size_t close = t.find(')');
    return close == std::string_view::npos ? std::string_view() : t.substr(0, close);
}

constexpr SnippetRow heading(std::string_view tree, const char* title) {
    return {tree, true, title, {}, SnippetAction::none, "", false, Op::none};
}
// A fragment made of code only: inserted as it stands.
constexpr SnippetRow code(std::string_view tree, const char* title, const char* text) {
    return {tree, false, title, key_of(title), SnippetAction::insert_text, text, false, Op::none};
}
// A fragment carrying French comments or messages: translated before insertion.
constexpr SnippetRow prose(std::string_view tree, const char* title, const char* text) {
    return {tree, false, title, key_of(title), SnippetAction::insert_text, text, true, Op::none};
}
constexpr SnippetRow operation(std::string_view tree, const char* title, Op op) {
    return {tree, false, title, key_of(title), SnippetAction::run_operation, "", false, op};
}
// The command typed into the terminal is the terminal module's, found by the key.
constexpr SnippetRow terminal(const char* title) {
    SnippetRow row = operation("term", title, Op::none);
    row.action = SnippetAction::type_in_terminal;
    return row;
}
constexpr SnippetRow untagged(std::string_view tree, const char* title) {
    return {tree, false, title, {}, SnippetAction::none, "", false, Op::none};
}

constexpr std::string_view php = "php", css = "css", javascript = "javascript",
                           htaccess = "htaccess", bash = "bash", perl = "perl", mysql = "mysql",
                           html = "html";

// Multi-line fragments are raw strings: what stands between the delimiters is
// inserted byte for byte, tabs included.
constexpr SnippetRow kRows[] = {
    // php
    heading(php, N_("1 Fonctions base [PHP]")),
    operation(php, N_("1.1 (php) débuter un script PHP"), Op::php_header),
    code(php, N_("1.2 (php) echo : Affiche une chaîne de caractères"), R"(echo "";

)"),
    operation(php, N_("1.3 (php) ajouter un commentaire"), Op::comment),
    code(php, N_("1.4 (php) FUNCTION : créer une fonction"), R"(function nom_de_fonction($parametre)
{

	return $resultat;
}

)"),
    prose(php, N_("1.5 (php) MAIL : envoyer un email"),
          N_(R"($destinataire = "destinataire@exemple.com";
$sujet = "Sujet du message";
$message = "Texte du message";
$entetes = "From: expediteur@exemple.com";

mail($destinataire, $sujet, $message, $entetes);

)")),
    code(php, N_("1.6 (php) DATE format MySql YYYY-mm-jj hh:mm:ss"), R"($now = date("Y-m-d H:i:s");

)"),
    code(php, N_("1.7 (php) RAND : Génère une valeur aléatoire"), R"($nombre = rand(1, 100);

)"),
    code(php, N_("1.8 (php) POST : Afficher les variables POST"),
         R"(echo "<pre>" . htmlspecialchars(print_r($_POST, true)) . "</pre>";

)"),
    code(php, N_("1.9 (php) COUNT : Compte tous les éléments d'un tableau"),
         R"($nombre = count($tableau);

)"),
    heading(php, N_("2 Instructions")),
    code(php, N_("2.1 (php) IF"), R"(if ()
{

}

)"),
    code(php, N_("2.2 (php) IF ELSE"), R"(if ()
{

}
else
{

}

)"),
    code(php, N_("2.3 (php) WHILE"), R"(while ()
{

}

)"),
    code(php, N_("2.4 (php) FOREACH : lire un tableau ligne par ligne"),
         R"(foreach ($tableau as $valeur)
{

}

)"),
    heading(php, N_("3 Fichier")),
    code(php, N_("3.1 (php) FILE : place le contenu d'un fichier (url possible) dans un tableau"),
         R"($tableau = file("fichier.txt");

)"),
    code(php, N_("3.2 (php) UNLINK : supprimer un fichier"), R"(unlink("fichier.txt");

)"),
    code(php, N_("3.3 (php) FPUTS : écrire dans un fichier"),
         R"($fichier = fopen("fichier.txt", "a");
fputs($fichier, $chaine);
fclose($fichier);

)"),
    code(php, N_("3.4 (php) DIR : Lister les fichiers d'un répertoire dans un tableau"),
         R"($fichiers = array_diff(scandir("repertoire"), array(".", ".."));

)"),
    heading(php, N_("4 Chaîne de carctères")),
    code(php, N_("4.1 (php) SPLIT : découper une chaîne avec séparateur"),
         R"($tableau = preg_split("/,/", $chaine);

)"),
    code(php, N_("4.2 (php) REMPLACEMENT : trouver une chaîne dans une variable et la remplacer"),
         R"($chaine = str_replace("recherche", "remplacement", $chaine);

)"),
    code(php, N_("4.3 (php) IF chaîne : instruction rechercher une chaîne dans une autre chaîne"),
         R"(if (strpos($chaine, "recherche") !== false)
{

}

)"),
    code(php, N_("4.4 (php) STRIPSLASHES : Supprime les antislashs d'une chaîne"),
         R"($chaine = stripslashes($chaine);

)"),
    code(php, N_("4.5 (php) STRLEN : Retourne la taille de la chaîne"),
         R"($taille = strlen($chaine);

)"),
    code(php, N_("4.6 (php) URLENCODE : Encode une chaîne en URL"), R"($chaine = urlencode($chaine);

)"),
    code(php, N_("4.7 (php) MB_SUBSTR_COUNT : Compte le nombre d'occurrences d'une sous-chaîne"),
         R"($nombre = mb_substr_count($chaine, "recherche");

)"),
    code(php, N_("4.8 (php) STRIP_TAGS : Supprime les balises HTML et PHP d'une chaîne"),
         R"($chaine = strip_tags($chaine);

)"),
    code(php, N_("4.9 (php) EXPLODE : découpe une chaîne avec séparateur et retourne un tableau"),
         R"($tableau = explode(",", $chaine);

)"),
    code(php, N_("4.10 (php) ADDSLASHES : Ajoute des antislashs dans une chaîne"),
         R"($chaine = addslashes($chaine);

)"),
    heading(php, N_("5 MySql")),
    code(php, N_("5.1 (php) connexion à une base MySql"), R"($dbhost="ip_host_name";
$dblogin="login";
$dbpassword="password";
$dbname="nom_de_base";

$db=mysqli_connect($dbhost,$dblogin,$dbpassword);
mysqli_select_db($db,$dbname);

mysqli_set_charset($db,"utf8");

)"),
    code(php, N_("5.2 (php) SELECT BOUCLE : select mysql avec boucle de récuperation des données"),
         R"($resultat = mysqli_query($db, "SELECT champ FROM table WHERE condition");
while ($ligne = mysqli_fetch_assoc($resultat))
{
	echo htmlspecialchars($ligne["champ"]);
}

)"),
    code(php, N_("5.3 (php) QUERY : simple requete Mysql (UPDATE,DELETE,INSERT)"),
         R"(mysqli_query($db, "UPDATE table SET champ = 'valeur' WHERE condition");

)"),
    code(php, N_("5.4 (php) QUERY : simple requete Mysql (SELECT)"),
         R"($resultat = mysqli_query($db, "SELECT champ FROM table WHERE condition");
$ligne = mysqli_fetch_assoc($resultat);

)"),
    code(php, N_("5.5 (php) LAST_INSERT_ID : récuperation d'un id après un INSERT"),
         R"($id = mysqli_insert_id($db);

)"),
    code(php, N_("5.6 (php) NUM_ROWS : récuperation du nombre de résultats d'une requete"),
         R"($nombre = mysqli_num_rows($resultat);

)"),
    heading(php, N_("6 FTP")),
    code(php, N_("6.1 (php) connexion à un serveur FTP"), R"($ftp = ftp_connect("ftp.exemple.com");
ftp_login($ftp, "login", "password");
ftp_pasv($ftp, true);

)"),
    code(php, N_("6.2 (php) FTP_NLIST : lister les fichier d'un répertoire"),
         R"($fichiers = ftp_nlist($ftp, "repertoire");

)"),
    code(php, N_("6.3 (php) FTP_PUT : déposer un fichier"),
         R"(ftp_put($ftp, "fichier_distant.txt", "fichier_local.txt", FTP_BINARY);

)"),
    code(php, N_("6.4 (php) FTP_DELETE : supprimer un fichier"),
         R"(ftp_delete($ftp, "fichier_distant.txt");

)"),
    heading(php, N_("7 Header")),
    code(php, N_("7.1 (php) TEXT UTF8"), R"(header("Content-Type: text/plain; charset=utf-8");

)"),
    code(php, N_("7.2 (php) IMAGE PNG"), R"(header("Content-Type: image/png");

)"),
    code(php, N_("7.3 (php) Téléchargement d'un fichier CSV"),
         R"(header("Content-Type: text/csv; charset=utf-8");
header("Content-Disposition: attachment; filename=\"fichier.csv\"");

)"),

    // css
    heading(css, N_("1 Base de feuille de style [CSS]")),
    operation(css, N_("1.1 (css) : Commenter"), Op::comment),
    code(css, N_("1.2 (css) : Style pour balise body"), R"(body
{

}
)"),
    code(css, N_("1.3 (css) : Style pour lien"), R"(a
{

}
)"),
    code(css, N_("1.4 (css) : Style pour lien hover"), R"(a:hover
{

}
)"),
    code(css, N_("1.5 (css) : Style pour balise div avec ID"), R"(div#VOTRE_ID
{

}
)"),
    heading(css, N_("2 Base background")),
    code(css, N_("2.1 (css) : [background] Couleur de fond"), "background: #FFF;\n"),
    code(css, N_("2.2 (css) : [background-image] Image de fond"),
         "background-image: url(\"image.png\");\n"),
    code(css, N_("2.3 (css) : [background-repeat] Option image de fond non répétée"),
         "background-repeat: no-repeat;\n"),
    heading(css, N_("3 Base font")),
    code(css, N_("3.1 (css) : [font-family] style de font"),
         "font-family: Arial, Helvetica, sans-serif;\n"),
    code(css, N_("3.2 (css) : [font-size] Taille de la font"), "font-size: 12px;\n"),
    code(css, N_("3.3 (css) : [color] Courleur de la font"), "color: #000;\n"),
    code(css, N_("3.4 (css) : [decoration] Pas de décoration de texte"),
         "text-decoration: none;\n"),
    code(css, N_("3.5 (css) : [decoration] Soulignement du texte"),
         "text-decoration: underline;\n"),
    heading(css, N_("4 Base taille")),
    code(css, N_("4.1 (css) : [largeur] width largeur"), "width: 100px;\n"),
    code(css, N_("4.2 (css) : [hauteur] height hauteur"), "height: 100px;\n"),
    heading(css, N_("5 Base position")),
    code(css,
         N_("5.1 (css) : [position] relative Positionnement relatif par rapport à la position de "
            "l'élément précédent"),
         "position: relative;\n"),
    code(css,
         N_("5.2 (css) : [position] absolute Positionnement absolu par rapport au coin supérieur "
            "gauche du document"),
         "position: absolute;\n"),
    code(css,
         N_("5.3 (css) : [position] fixed Positionnement fixe par rapport au coin supérieur "
            "gauche de la fenêtre du navigateur"),
         "position: fixed;\n"),
    code(css, N_("5.4 (css) : [gauche] left Position à partire du bord gauche"), "left: 0px;\n"),
    code(css, N_("5.5 (css) : [droite] right position à partire du bord droit"), "right: 0px;\n"),
    code(css, N_("5.6 (css) : [haut] top position à partire du bord haut"), "top: 0px;\n"),
    code(css, N_("5.7 (css) : [bas] bottom position à partire du bord bas"), "bottom: 0px;\n"),
    code(css, N_("5.8 (css) : [valign] alignement vertical en bas bottom"),
         "vertical-align: bottom;\n"),
    code(css, N_("5.9 (css) : [valign] alignement vertical en haut"), "vertical-align: top;\n"),
    heading(css, N_("6 Base affichage")),
    code(css, N_("6.1 (css) : [none] display L'élément est masqué"), "display: none;\n"),
    code(css, N_("6.2 (css) : [block] display Affichage l'un en-dessous de l'autre"),
         "display: block;\n"),
    code(css, N_("6.3 (css) : [inline] display Affichage en ligne des div"), "display: inline;\n"),

    // term
    heading("term", N_("1 Base [Term]")),
    terminal(N_("1.1 (term) : Utilisation du disque")),
    terminal(N_("1.2 (term) : Aspiration de site web WGET")),
    terminal(N_("1.3 (term) : RM sur un grand nombre de fichiers")),
    terminal(N_("1.4 (term) : FIND trouver un fichier par son nom")),
    terminal(N_("1.5 (term) : SCREEN Lancer un screen ou le récupérer")),
    terminal(N_("1.6 (term) : WC Nombre de lignes pour sortie ou fichier")),
    terminal(N_("1.7 (term) : WGET récupération de page web")),
    terminal(N_("1.8 (term) : Lister les fichiers et répertoire en couleur")),
    terminal(N_("1.9 (term) : NICE Lancer un script ou commande lourde avec une priorité basse")),
    terminal(N_("2.0 (term) : Compression avec tar.gz")),
    terminal(N_("2.1 (term) : Décompression avec tar.gz")),
    terminal(N_("2.2 (term) :  Différence entre deux fichiers")),

    // javascript
    heading(javascript, N_("1 Base [Javascript]")),
    code(javascript, N_("1.1 (javascript) : Balise HTML pour javascript/jquery"),
         R"(<script type="text/javascript">


</script>
)"),
    code(javascript, N_("1.2 (javascript) : Créer une fonction"),
         R"(function nom_de_fonction(parametre)
{

}

)"),
    code(javascript, N_("1.3 (javascript) : Split d'une chaîne en tableau par séparateur"),
         R"(const tableau = chaine.split(",");

)"),
    code(javascript, N_("1.4 (javascript) : Encodage d'une URL"),
         R"(const url = encodeURIComponent(chaine);

)"),
    heading(javascript, N_("2 Intéraction avec un ID")),
    code(javascript, N_("2.1 (javascript) : Récuperation d'un value par id"),
         R"(const valeur = document.getElementById("VOTRE_ID").value;

)"),
    code(javascript, N_("2.2 (javascript) : Récuperation d'un value par id sur un select HTML"),
         R"(const liste = document.getElementById("VOTRE_ID");
const valeur = liste.options[liste.selectedIndex].value;

)"),
    code(javascript, N_("2.3 (javascript) : Focus sur un id"),
         R"(document.getElementById("VOTRE_ID").focus();

)"),
    code(javascript, N_("2.4 (javascript) : Charger un fichier php/html dans un div id"),
         R"($("#VOTRE_ID").load("fichier.php");

)"),
    code(javascript, N_("2.5 (javascript) : Remplacer le contenu d'un div id par un autre texte"),
         R"(document.getElementById("VOTRE_ID").textContent = "texte";

)"),
    code(javascript,
         N_("2.6 (javascript) : Remplacer le contenu d'un value html id par un autre texte"),
         R"(document.getElementById("VOTRE_ID").value = "texte";

)"),
    code(javascript, N_("2.7 (javascript) : Ajouter un texte au contenu d'un value html id"),
         R"(document.getElementById("VOTRE_ID").value += "texte";

)"),
    heading(javascript, N_("3 Liste des évenements")),
    code(javascript, N_("3.1 (javascript) : [onBlur] action en sortie de focus"), "onBlur=\"\" "),
    code(javascript, N_("3.2 (javascript) : [onChange] action pour un changement"),
         "onChange=\"\" "),
    code(javascript, N_("3.3 (javascript) : [onClick] action pour un click"), "onClick=\"\" "),
    code(javascript, N_("3.4 (javascript) : [onFocus] action sur prise de focus"), "onFocus=\"\" "),
    code(javascript, N_("3.5 (javascript) : [onLoad] action en fin de chargement"), "onLoad=\"\" "),
    code(javascript, N_("3.6 (javascript) : [onMouseOver] action au passage de la souris"),
         "onMouseOver=\"\" "),
    code(javascript, N_("3.7 (javascript) : [onSelect] action pour une séléction"),
         "onSelect=\"\" "),
    code(javascript, N_("3.8 (javascript) : [onSubmit] action en validation de formulaire"),
         "onSubmit=\"\" "),
    heading(javascript, N_("4 Fonctions")),
    code(javascript, N_("4.1 (javascript) : Fonction récuperation du contenu d'un fichier"),
         R"(async function lire_fichier(url)
{
	const reponse = await fetch(url);
	if (!reponse.ok)
		throw new Error(url + " : " + reponse.status);
	return await reponse.text();
}

)"),

    // htaccess
    heading(htaccess, N_("1 Base [Htaccess]")),
    code(htaccess, N_("1.1 (htaccess) : Charset par défaut (UTF8)"), "AddDefaultCharset utf-8\n"),
    code(htaccess, N_("1.2 (htaccess) : bloquer toutes les ip"), "Require all denied\n"),
    code(htaccess, N_("1.3 (htaccess) : Autoriser une ip"), "Require ip 192.168.1.10\n"),
    code(htaccess, N_("1.4 (htaccess) : Redirection des erreurs"),
         "ErrorDocument 403 " ORVANE_PRODUCT_ADDRESS "\n"
         "ErrorDocument 404 " ORVANE_PRODUCT_ADDRESS "\n"),
    code(htaccess, N_("1.5 (htaccess) : Activation de l'url rewriting"), "RewriteEngine on\n"),
    // Directives only, nothing to translate: inserted as they stand in every language.
    code(htaccess, N_("1.6 (htaccess) : ligne exemple simple url rewriting"),
         "RewriteRule ^source.html$  destination.php?id=1  [L]\n"),
    code(htaccess,
         N_("1.7 (htaccess) : ligne exemple avec option et expression régulière url rewriting"),
         "RewriteRule ^article-([0-9]+)\\.html$  article.php?id=$1  [QSA,L]\n"),

    // bash
    heading(bash, N_("1 Base bash")),
    operation(bash, N_("1.1 (bash) Débuter un script"), Op::bash_header),
    prose(bash, N_("1.2 (bash) ECHO : afficher une chaîne de caractères"),
          N_(R"(# Affichage sur la sortie standare
echo ""
)")),
    code(bash, N_("1.3 (bash) Ajouter un commentaire"), R"(
#
#
#
)"),
    code(bash, N_("1.4 (bash) Commande en tache de fond"), " &"),
    heading(bash, N_("2 Instructions")),
    prose(bash, N_("2.1 (bash) IF"), N_(R"(# Instruction si...
if
then

fi
)")),
    prose(bash, N_("2.2 (bash) IF ELSE bash"), N_(R"(# Instruction si... sinon...
if
then

else

fi
)")),
    prose(bash, N_("2.3 (bash) WHILE bash"), N_("# Boucle \nwhile\ndo\n\ndone\n")),
    operation(bash, N_("2.4 (bash) CASE : multi choix"), Op::case_builder),
    prose(bash, N_("2.5 (bash) READ : interactivite avec l'utilisateur"),
          N_(R"(# Lecture d'une saisie de l'utilisateur
echo "Votre choix : "
read -r reponse
)")),
    heading(bash, N_("3 Opérateur logique")),
    code(bash, N_("3.1 (bash) ET"), " && "),
    code(bash, N_("3.2 (bash) OU"), " || "),
    heading(bash, N_("4 Commandes de base")),
    operation(bash, N_("4.1 (bash) GREP"), Op::grep_builder),
    operation(bash, N_("4.2 (bash) AWK"), Op::awk_builder),
    operation(bash, N_("4.3 (bash) SED"), Op::sed_builder),
    operation(bash, N_("4.4 (bash) SCP"), Op::scp_builder),
    heading(bash, N_("5 Redirection de fichier")),
    code(bash, N_("5.1 (bash) Redirection de la sortie dans le vide"), " > /dev/null"),
    code(bash, N_("5.2 (bash) La sortie écrase un fichier"), " > "),
    code(bash, N_("5.3 (bash) La sortie est ajoutée à un fichier"), " >> "),
    code(bash, N_("5.4 (bash) Redirection des erreurs"), " 2>"),
    code(bash, N_("5.5 (bash) Redirection des erreurs et des messages"), " > /fichier 2>&1"),
    heading(bash, N_("6 Construction de [TEST]")),
    code(bash, N_("6.1 (bash) TEST : si un fichier existe"), " [ -e fichier ]"),
    code(bash, N_("6.2 (bash) TEST : si un répertoire existe"), " [ -d repertoire ]"),
    code(bash, N_("6.3 (bash) TEST : inverser un test"), " [ ! ]"),
    code(bash, N_("6.4 (bash) TEST : droit en lecture"), " [ -r fichier ]"),
    code(bash, N_("6.5 (bash) TEST : droit en écriture"), " [ -w fichier ]"),
    code(bash, N_("6.6 (bash) TEST : droit en excution"), " [ -x fichier ]"),
    // Strings compare with "=", numbers with "-eq": the other way round fails in sh.
    code(bash, N_("6.7 (bash) TEST : sur deux variables"), " [ \"variable1\" = \"variable2\" ]"),
    code(bash, N_("6.8 (bash) TEST : sur deux chiffres"), " [ \"chiffre1\" -eq \"chiffre2\" ]"),

    // perl
    heading(perl, N_("1 Fonctions base [PERL]")),
    operation(perl, N_("1.1 (perl) : Débuter un script"), Op::perl_header),
    code(perl, N_("1.2 (perl) PRINT : afficher une chaîne de caractères"), R"(print " ";

)"),
    code(perl, N_("1.3 (perl) ARGUMENTS : utiliser les arguments du programme"),
         R"(my ($argument1, $argument2) = @ARGV;

)"),
    untagged(perl, N_("TABLEAU")),
    code(perl, N_("1.4 (perl) TABLEAU : déclaration d'un tableau"),
         R"(my @tableau = ("valeur1", "valeur2", "valeur3");

)"),
    code(perl, N_("1.5 (perl) TABLEAU : empiler une valeur en fin de tableau"),
         R"(push(@tableau, $valeur);

)"),
    code(perl, N_("1.6 (perl) TABLEAU : empiler une valeur en début de tableau"),
         R"(unshift(@tableau, $valeur);

)"),
    code(perl, N_("1.7 (perl) FOREACH : lire un tableau ligne par ligne"),
         R"(foreach $element (@tableau)
{

}

)"),
    code(perl, N_("1.8 (perl) SAISIE : attend une saisie clavier"), R"(my $saisie = <STDIN>;
chomp($saisie);

)"),
    code(perl, N_("1.9 (perl) FONCTION : créer une fonction"), R"(sub nom_de_fonction
{
	my ($parametre) = @_;

}

)"),
    code(perl, N_("1.10 (perl) EXIT : sortir (killer) le programme"), R"(exit(0);

)"),
    code(perl, N_("1.11 (perl) LOCALTIME : Récuperation de la date"),
         R"(my ($seconde, $minute, $heure, $jour, $mois, $annee) = localtime();
$annee += 1900;
$mois += 1;

)"),
    code(perl, N_("1.12 (perl) RAND : génération d'un nombre aléatoire"),
         R"(my $nombre = int(rand(100));

)"),
    heading(perl, N_("2 Instructions")),
    code(perl, N_("2.1 (perl) IF"), R"(if ()
{

}

)"),
    code(perl, N_("2.2 (perl) UNLESS : test négatif"), R"(unless ()
{

}

)"),
    code(perl, N_("2.3 (perl) IF ELSE"), R"(if ()
{

}
else
{

}

)"),
    code(perl, N_("2.4 (perl) WHILE"), R"(while ()
{

}

)"),
    code(perl, N_("2.5 (perl) WHILE infinie"), R"(while (1)
{

}

)"),
    code(perl, N_("2.6 (perl) FOREACH : lire un tableau ligne par ligne"),
         R"(foreach $element (@tableau)
{

}

)"),
    heading(perl, N_("3 Fichier lecture écriture")),
    prose(perl, N_("3.1 (perl) Lire un fichier ligne par ligne"),
          N_(R"(open(my $fichier, "<", "fichier.txt") or die "Impossible de lire fichier.txt : $!";
while (my $ligne = <$fichier>)
{
	chomp($ligne);

}
close($fichier);

)")),
    prose(
        perl, N_("3.2 (perl) ouvrir un fichier pour y ajouter des données"),
        N_(R"(open(my $fichier, ">>", "fichier.txt") or die "Impossible d'ouvrir fichier.txt : $!";
print $fichier "texte\n";
close($fichier);

)")),
    prose(perl, N_("3.3 (perl) ouvrir un fichier pour y ajouter des données et écraser l'éxistant"),
          N_(R"(open(my $fichier, ">", "fichier.txt") or die "Impossible d'ouvrir fichier.txt : $!";
print $fichier "texte\n";
close($fichier);

)")),
    prose(perl, N_("3.4 (perl) ouvrir un tube sur un fichier"),
          N_(R"(open(my $tube, "-|", "sort", "fichier.txt") or die "Impossible de lancer sort : $!";
while (my $ligne = <$tube>)
{
	chomp($ligne);

}
close($tube);

)")),
    code(perl, N_("3.5 (perl) STDIN Lecture de l'entrée standard"), R"(while (my $ligne = <STDIN>)
{
	chomp($ligne);

}

)"),
    code(
        perl,
        N_("3.6 (perl) STAT : récuperation des stats d'un fichier ($dev,$ino,$mode,$nlink,"
           "$uid,$gid,$rdev,$size,$atime,$mtime,$ctime,$blksize,$blocks)"),
        R"(my ($dev,$ino,$mode,$nlink,$uid,$gid,$rdev,$size,$atime,$mtime,$ctime,$blksize,$blocks) = stat("fichier.txt");

)"),
    heading(perl, N_("4 Chaîne de carctères")),
    code(perl, N_("4.1 (perl) SPLIT : découper une chaîne avec séparateur"),
         R"(my @tableau = split(/,/, $chaine);

)"),
    code(perl,
         N_("4.2 (perl) IF UNLESS chaîne : instruction rechercher une chaîne dans une autre "
            "chaîne"),
         R"(if ($chaine =~ /recherche/)
{

}

unless ($chaine =~ /recherche/)
{

}

)"),
    code(perl, N_("4.3 (perl) REMPLACEMENT : trouver une chaîne dans une variable et la remplacer"),
         R"($chaine =~ s/recherche/remplacement/g;

)"),
    code(perl, N_("4.4 (perl) CHOP : Enlève le dernier caractère de la chaîne"), R"(chop($chaine);

)"),
    code(perl, N_("4.5 (perl) LENGTH : Retourne la longueur de la chaîne (nombre de caractères)"),
         R"(my $longueur = length($chaine);

)"),
    code(perl, N_("4.6 (perl) UC : Retourne la chaîne en majuscules"),
         R"(my $majuscules = uc($chaine);

)"),
    code(perl, N_("4.7 (perl) LC : Retourne la chaîne en minuscules"),
         R"(my $minuscules = lc($chaine);

)"),
    code(perl, N_("4.8 (perl) UCFIRST : Retourne la chaîne avec le premier caractère en majuscule"),
         R"(my $resultat = ucfirst($chaine);

)"),
    code(
        perl,
        N_("4.9 (perl) SUBSTR : retourne une chaîne contenue entre indice de début et la longueur"),
        R"(my $extrait = substr($chaine, $debut, $longueur);

)"),
    heading(perl, N_("5 Lib DBI MySql")),
    code(perl, N_("5.1 (lib_dbi) CONNEXION : se connecter à une base MySql"), R"(use DBI;

my $dbh = DBI->connect("DBI:mysql:database=nom_de_base;host=ip_host_name", "login", "password",
	{ RaiseError => 1, mysql_enable_utf8mb4 => 1 });

)"),
    code(perl, N_("5.2 (lib_dbi) QUERY : simple requete Mysql (UPDATE,DELETE,INSERT)"),
         R"($dbh->do("UPDATE table SET champ = ? WHERE id = ?", undef, $valeur, $id);

)"),
    code(perl, N_("5.3 (lib_dbi) QUERY : simple requete Mysql (SELECT)"),
         R"(my $sth = $dbh->prepare("SELECT champ FROM table WHERE id = ?");
$sth->execute($id);
my @ligne = $sth->fetchrow_array();
$sth->finish();

)"),
    code(perl,
         N_("5.4 (lib_dbi) SELECT BOUCLE : select mysql avec boucle de récuperation des données"),
         R"(my $sth = $dbh->prepare("SELECT champ1, champ2 FROM table WHERE condition");
$sth->execute();
while (my $ligne = $sth->fetchrow_hashref())
{
	print $ligne->{champ1}, "\n";
}
$sth->finish();

)"),
    code(perl, N_("5.5 (lib_dbi) LASTID : récuperation du dernier id en insert"),
         R"(my $id = $dbh->last_insert_id(undef, undef, "table", "id");

)"),
    code(perl, N_("5.6 (lib_dbi) ROWS : rows récupération du nombre de résultats pour une requête"),
         R"(my $nombre = $sth->rows;

)"),
    heading(perl, N_("6 Lib MIME Lite")),
    prose(perl, N_("6.1 (lib_mime) Envoi d'un mail simple"), N_(R"(use MIME::Lite;

my $mail = MIME::Lite->new(
	From    => 'expediteur@exemple.com',
	To      => 'destinataire@exemple.com',
	Subject => 'Sujet du message',
	Data    => "Texte du message\n"
);
$mail->send;

)")),
    prose(perl, N_("6.2 (lib_mime) Envoi d'un mail avec fichier PJ"), N_(R"(use MIME::Lite;

my $mail = MIME::Lite->new(
	From    => 'expediteur@exemple.com',
	To      => 'destinataire@exemple.com',
	Subject => 'Sujet du message',
	Type    => 'multipart/mixed'
);
$mail->attach(Type => 'TEXT', Data => "Texte du message\n");
$mail->attach(
	Type        => 'application/octet-stream',
	Path        => '/chemin/fichier.pdf',
	Filename    => 'fichier.pdf',
	Disposition => 'attachment'
);
$mail->send;

)")),
    heading(perl, N_("7 HTTP Lib URI et LWP")),
    code(perl, N_("7.1 (lib_URI) encodage d'une URL"), R"(use URI::Escape;

my $url_encodee = uri_escape($chaine);

)"),
    code(perl, N_("7.2 (lib_LWP) get sur une URL"), R"(use LWP::Simple;

my $contenu = get("https://www.exemple.com/");

)"),
    heading(perl, N_("8 FTP Lib NET::FTP")),
    prose(perl, N_("8.1 (lib_net) connexion à un serveur FTP"), N_(R"(use Net::FTP;

my $ftp = Net::FTP->new("ftp.exemple.com") or die "Connexion impossible : $@";
$ftp->login("login", "password") or die "Identification impossible : ", $ftp->message;

)")),
    code(perl, N_("8.2 (lib_net) lister le contenu d'un répertoire FTP"),
         "my @fichiers = $ftp->ls(\"$dir\");\n"),
    code(perl, N_("8.3 (lib_net) GET télécharger un fichier depuis un FTP"),
         "$ftp->get(\"$file\");\n"),
    code(perl, N_("8.4 (lib_net) PUT uploader un fichier sur un FTP"), "$ftp->put(\"$file\");\n"),
    code(perl, N_("8.5 (lib_net) CWD Changer de répertoire"), "$ftp->cwd(\"$dir\");\n"),
    code(perl, N_("8.6 (lib_net) DELETE Supprimer un fichier"), "$ftp->delete(\"$file\");\n"),
    heading(perl, N_("9 SOCKET IO::Socket::INET")),
    prose(perl, N_("9.1 (lib_socket) socket en mode écoute (serveur) avec fork"),
          N_(R"(use IO::Socket::INET;

my $serveur = IO::Socket::INET->new(
	LocalPort => 7070,
	Proto     => 'tcp',
	Listen    => 5,
	ReuseAddr => 1
) or die "Écoute impossible : $!";

$SIG{CHLD} = 'IGNORE';
while (my $client = $serveur->accept())
{
	my $pid = fork();
	if (defined $pid && $pid == 0)
	{
		close($serveur);
		while (my $ligne = <$client>)
		{
			print $client $ligne;
		}
		close($client);
		exit(0);
	}
	close($client);
}

)")),
    prose(perl, N_("9.2 (lib_socket) socket en mode client"), N_(R"(use IO::Socket::INET;

my $socket = IO::Socket::INET->new(
	PeerAddr => 'localhost',
	PeerPort => 7070,
	Proto    => 'tcp'
) or die "Connexion impossible : $!";

print $socket "texte\n";
my $reponse = <$socket>;
close($socket);

)")),

    // mysql: bare statements, no line end
    heading(mysql, N_("1 Requete base [MYSQL]")),
    code(mysql, N_("1.1 (mysql) : SELECT"), "SELECT groupe_attribut FROM table WHERE condition"),
    code(mysql, N_("1.2 (mysql) : INSERT"),
         "INSERT INTO table (attribut1, attribut2) VALUES ('valeur1', 'valeur2')"),
    code(mysql, N_("1.3 (mysql) : UPDATE"), "UPDATE table SET attribut = 'valeur' WHERE condition"),
    code(mysql, N_("1.4 (mysql) : DELETE"), "DELETE FROM table WHERE condition"),

    // html
    heading(html, N_("1 Base de page [HTML]")),
    operation(html, N_("1.1 (html) : Template de base"), Op::html_skeleton),
    operation(html, N_("1.2 (html) : Commenter"), Op::comment),
    // The table maker reads its two numbers separated by "~", as every command-entry tool.
    operation(html, N_("1.3 (html) : Tableau [Option CMD : \"{NBR_TR}~{NBR_TD}\"]"),
              Op::html_table),
    operation(html, N_("1.4 (html) : Lien HREF autour de la sélection"), Op::link_around_selection),
    code(html, N_("1.5 (html) : Intergation d'une feuille de style css"),
         "<link rel=\"stylesheet\" type=\"text/css\" href=\"style.css\">\n"),
    code(html, N_("1.6 (html) : Rechargement (refresh) d'une page toutes les 30 secondes"),
         "<meta http-equiv=\"refresh\" content=\"30\">\n"),
    operation(html, N_("1.7 (html) : Balise image autour de la séléction"),
              Op::image_around_selection),
    operation(html, N_("1.8 (html) : Ajouter un div autour de la sélection"),
              Op::div_around_selection),
    code(html, N_("1.9 (html) : Ajouter un style à une balise"), "style=\"\" "),
    code(html, N_("1.10 (html) : Ajouter un favicon 16x16 format .ico"),
         "<link rel=\"icon\" type=\"image/x-icon\" href=\"favicon.ico\">\n"),
    heading(html, N_("2 Taille")),
    code(html, N_("2.1 (html) : [width] Largeur"), "width=\"\" "),
    code(html, N_("2.2 (html) : [height] Hauteur"), "height=\"\" "),
    code(html, N_("2.3 (html) : [cols] nombre de colonne (textarea)"), "cols=\"\" "),
    code(html, N_("2.4 (html) : [rows] nombre de ligne (textarea)"), "rows=\"\" "),
    heading(html, N_("3 Formulaire")),
    prose(html, N_("3.1 (html) : Formulaire de base"), N_(R"(<form action="" method="post">

<input type="submit" value="Envoyer">
</form>
)")),
    code(html, N_("3.2 (html) : Zone de saisie texte"),
         "<input type=\"text\" name=\"\" value=\"\">\n"),
    code(html, N_("3.3 (html) : Zone de saisie textarea"),
         "<textarea name=\"\" cols=\"40\" rows=\"5\"></textarea>\n"),
    code(html, N_("3.4 (html) : Zone de sélection d'option (SELECT)"), R"(<select name="">
<option value="1">Option 1</option>
<option value="2">Option 2</option>
</select>
)"),
};

constexpr std::string_view kTreeNames[] = {"php",  "css",  "term",  "javascript", "htaccess",
                                           "bash", "perl", "mysql", "html"};

} // namespace

std::span<const SnippetRow> snippet_catalogue() {
    return kRows;
}

std::span<const std::string_view> snippet_tree_names() {
    return kTreeNames;
}

std::span<const SnippetRow> snippet_tree_rows(std::string_view tree) {
    const SnippetRow* begin = std::find_if(std::begin(kRows), std::end(kRows),
                                           [&](const SnippetRow& r) { return r.tree == tree; });
    const SnippetRow* end =
        std::find_if(begin, std::end(kRows), [&](const SnippetRow& r) { return r.tree != tree; });
    return {begin, end};
}

const SnippetRow* snippet_find(std::string_view key) {
    if (key.empty()) return nullptr;
    for (const SnippetRow& row : kRows)
        if (row.key == key) return &row;
    return nullptr;
}

std::string snippet_text(const SnippetRow& row) {
    if (row.action != SnippetAction::insert_text) return {};
    return row.translate ? _(row.text) : row.text;
}

SnippetInsertion snippet_div_around(std::string_view selection) {
    static constexpr std::string_view open = "<div id=\"";
    if (selection.empty()) return {"<div id=\"\"></div>", 11};
    std::string text(open);
    text += "\">\n";
    text += selection;
    text += "\n</div>";
    return {std::move(text), static_cast<long>(open.size())};
}
