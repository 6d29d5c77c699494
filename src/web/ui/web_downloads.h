// Downloads from the web views: saved into the file panel's folder under the
// base name the server suggests, never over an existing file, and reported in
// the log, the status bar and a notification.
#pragma once

#include <gtk/gtk.h>

typedef struct _WebKitWebContext WebKitWebContext;

// The one rule for every download of `context`'s views (connected once).
void web_downloads_register(WebKitWebContext* context);

// Makes `view` download what it cannot show when it comes over http(s) as the
// page itself; a file: address is never turned into a download.
void web_view_download_unshowable(GtkWidget* view);
