// The "Aide" menu: windows on the product's own pages (served offline) and the
// about box.
#pragma once

// "Vérifiez votre version de Orvane IDE": the version page, 670 × 255.
void version_window_command();
// "Lire le manuel/documentation de Orvane IDE": the manual, 930 × 600.
void manual_window_command();
// "Envoyer un rapport de bug": the bug report form, 670 × 345.
void bug_report_window_command();
// "A-propos de Orvane IDE": the about box.
void about_box_command();
