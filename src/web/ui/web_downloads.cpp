#include "web/ui/web_downloads.h"

#include <glib/gi18n-lib.h>
#include <webkit2/webkit2.h>

#include <string>

#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"
#include "web/download_rules.h"
#include "web/web_addresses.h"

namespace {

constexpr const char* kRefused = "orvane-download-refused";
constexpr const char* kFailed = "orvane-download-failed";
constexpr const char* kStarted = "orvane-download-started";

bool flag(WebKitDownload* download, const char* key) {
    return g_object_get_data(G_OBJECT(download), key) != nullptr;
}
void set_flag(WebKitDownload* download, const char* key) {
    g_object_set_data(G_OBJECT(download), key, GINT_TO_POINTER(1));
}

std::string destination_of(WebKitDownload* download) {
    const gchar* uri = webkit_download_get_destination(download);
    if (uri) {
        if (auto path = picture_address_name(uri)) return *path;
        return uri;
    }
    WebKitURIRequest* request = webkit_download_get_request(download);
    const gchar* source = request ? webkit_uri_request_get_uri(request) : nullptr;
    return source ? source : "";
}

// Refusing is cancelling: a download left without a destination would be
// saved into the desktop's download folder instead.
void refuse(WebKitDownload* download, const char* log_text, const char* status) {
    log_message(log_text, LM_ERROR);
    status_message(status);
    set_flag(download, kRefused);
    webkit_download_cancel(download);
}

gboolean on_decide_destination(WebKitDownload* download, gchar* suggested, gpointer) {
    DownloadDestination target =
        download_destination(file_panel_folder(), suggested ? suggested : "");
    // The folder is absolute, so this fails only for bytes GLib refuses.
    const auto uri = file_address(target.path);
    if (!uri) target.refusal = DownloadRefusal::no_folder;
    switch (target.refusal) {
    case DownloadRefusal::no_folder:
        refuse(download,
               _("Download Error : vous devez séléctionner un répertoire dans le sélécteur de "
                 "fichier"),
               _("Download ERROR"));
        return TRUE;
    case DownloadRefusal::exists:
        refuse(download, _("File Error.download exists"), _("File download exists [ERROR]"));
        return TRUE;
    case DownloadRefusal::none:
        break;
    }
    webkit_download_set_allow_overwrite(download, FALSE);
    webkit_download_set_destination(download, uri->c_str());
    return TRUE;
}

void on_created_destination(WebKitDownload*, gchar*, gpointer) {
    notify_user(_("Download created"));
}

void on_received_data(WebKitDownload* download, guint64, gpointer) {
    if (flag(download, kStarted)) return;
    set_flag(download, kStarted);
    notify_user(_("Download started"));
}

void on_failed(WebKitDownload* download, GError* error, gpointer) {
    set_flag(download, kFailed);
    const bool cancelled = error && g_error_matches(error, WEBKIT_DOWNLOAD_ERROR,
                                                    WEBKIT_DOWNLOAD_ERROR_CANCELLED_BY_USER);
    if (cancelled) {
        notify_user(_("Download cancelled"));
        // A refusal has said why already.
        if (flag(download, kRefused)) return;
        log_message(_("Téléchargement annulé : %s"), destination_of(download), LM_NORMAL);
        status_message(_("Download cancelled"));
        return;
    }
    notify_user(_("Download error"));
    log_icon_error();
    log_message(_("Le téléchargement de %s a échoué"), destination_of(download), LM_ERROR);
    status_message(_("Download [ERROR]"));
}

void on_finished(WebKitDownload* download, gpointer) {
    // WebKit ends a failed download with this signal as well.
    if (flag(download, kFailed)) return;
    notify_user(_("Download finished!"));
    log_icon_ok();
    log_message(_("Téléchargement terminé : %s"), destination_of(download), LM_NORMAL);
    status_message(_("Download [OK]"));
}

void on_download_started(WebKitWebContext*, WebKitDownload* download, gpointer) {
    g_signal_connect(download, "decide-destination", G_CALLBACK(on_decide_destination), nullptr);
    g_signal_connect(download, "created-destination", G_CALLBACK(on_created_destination), nullptr);
    g_signal_connect(download, "received-data", G_CALLBACK(on_received_data), nullptr);
    g_signal_connect(download, "failed", G_CALLBACK(on_failed), nullptr);
    g_signal_connect(download, "finished", G_CALLBACK(on_finished), nullptr);
}

bool is_web_address(const gchar* uri) {
    const char* scheme = uri ? g_uri_peek_scheme(uri) : nullptr;
    return scheme && (g_str_equal(scheme, "http") || g_str_equal(scheme, "https"));
}

gboolean on_decide_policy(WebKitWebView*, WebKitPolicyDecision* decision,
                          WebKitPolicyDecisionType type, gpointer) {
    if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE) return FALSE;
    auto* response_decision = WEBKIT_RESPONSE_POLICY_DECISION(decision);
    if (!webkit_response_policy_decision_is_main_frame_main_resource(response_decision))
        return FALSE;
    if (webkit_response_policy_decision_is_mime_type_supported(response_decision)) return FALSE;
    WebKitURIResponse* response = webkit_response_policy_decision_get_response(response_decision);
    const gchar* uri = response ? webkit_uri_response_get_uri(response) : nullptr;
    if (!is_web_address(uri)) return FALSE;
    webkit_policy_decision_download(decision);
    return TRUE;
}

} // namespace

void web_downloads_register(WebKitWebContext* context) {
    static bool registered = false;
    if (registered) return;
    registered = true;
    g_signal_connect(context, "download-started", G_CALLBACK(on_download_started), nullptr);
}

void web_view_download_unshowable(GtkWidget* view) {
    g_signal_connect(view, "decide-policy", G_CALLBACK(on_decide_policy), nullptr);
}
