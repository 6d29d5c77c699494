// The "SFTP" and "FTP" side pages (server history, clear, mount and unmount
// buttons), their mount dialogs, unmounting, and the MyAdmin address list.
// Mounts run in the background: the window keeps answering while a server is
// reached, and the indicator stays busy until the outcome is shown.
#pragma once

#include <gtk/gtk.h>

// Fills the side notebook's "SFTP" and "FTP" boxes: each page's history list,
// read from orvane_sftp or orvane_ftp, and its three buttons.
void remote_pages_build();

// "Monter un serveur en SFTP (SSH)" and "Monter un serveur FTP (FTPFS)": the
// mount dialogs (one of each kind at a time).
void sftp_mount_dialog_command();
void ftp_mount_dialog_command();
// "Démonter le dérnier serveur monté en SFTP/FTP": every folder mounted since
// start-up, one by one.
void remote_unmount_command();

// Fills `slot`, the box at the right of the MyAdmin web view, with the address
// list read from orvane_myadmin; choosing an address loads it into that view.
void myadmin_list_build(GtkWidget* slot);
// "Recharger MyAdmin": the list read again from its file.
void myadmin_list_reload_command();
