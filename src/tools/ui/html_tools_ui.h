// The "Html" menu: tags, comments, colours, doctypes, character references and
// the "HTML outils" entries. Each command acts on the current document as one
// undoable action and does nothing without one.
#pragma once

#include <gtk/gtk.h>

// Operations the snippet catalogue runs as well as the menu.
void html_skeleton_command();       // "Template de base": the page skeleton at the cursor
void html_comment_command();        // "Commenter": the selection in the file's comment
void html_table_command();          // "Tableau de base": rows~cells from the command entry
void html_link_around_selection();  // "Lien autour de la séléction"
void html_image_around_selection(); // "Image": <img src="S">, or an empty one
void html_div_around_selection();   // a div with an empty id around the selection

// Menu commands.
void html_bold_command();
void html_italic_command();
void html_underline_command();
void html_paragraph_command();
void html_link_command();
void html_line_break_command(); // <br /> or <br> by xhtml_mode
void html_space_command();
void html_color_command(); // the colour chooser, then the colour or fmt_color_function
void html_strip_tags_command();
void html_escape_command();

// Items that act by their name: the tag items (table, tr, td, h1 … h6), the
// "Aligner" items, the doctype items and the character references.
void on_html_tag_item(GtkMenuItem* item, gpointer);
void on_html_align_item(GtkMenuItem* item, gpointer);
void on_html_doctype_item(GtkMenuItem* item, gpointer);

// "Caractères spéciaux HTML": one item per reference, sorted by the locale.
void html_entities_menu_rebuild();
