// The grep, sed, awk, scp and case helpers: small windows whose apply button
// writes a comment line and the assembled command at the cursor of the current
// document. Nothing is run. One window of each kind at a time: asking again
// presents the one already open. Without a current document nothing opens.
#pragma once

void open_grep_builder(); // "Aide pour Grep"
void open_sed_builder();  // "Aide Sed"
void open_awk_builder();  // "Aide Awk"
void open_scp_builder();  // "Style de variable"
void open_case_builder(); // "Nombre d'options"

// "Insert un chemin de fichier PATH": the prompt in the log, then a file chooser
// whose chosen file's absolute path goes in at the cursor.
void path_prompt_command();
