#include "gui/support/loopback_http.h"

#include <gio/gio.h>

#include <cstring>

namespace {

gboolean on_request(GThreadedSocketService*, GSocketConnection* connection, GObject*,
                    gpointer data) {
    auto* server = static_cast<LoopbackHttp*>(data);
    GInputStream* in = g_io_stream_get_input_stream(G_IO_STREAM(connection));
    GDataInputStream* lines = g_data_input_stream_new(in);
    g_data_input_stream_set_newline_type(lines, G_DATA_STREAM_NEWLINE_TYPE_ANY);
    std::string path;
    bool first = true;
    for (;;) {
        gsize length = 0;
        gchar* line = g_data_input_stream_read_line(lines, &length, nullptr, nullptr);
        if (!line) break;
        const bool empty = line[0] == '\0';
        if (first) {
            // "GET /path HTTP/1.1"
            const char* start = std::strchr(line, ' ');
            const char* end = start ? std::strchr(start + 1, ' ') : nullptr;
            if (start && end) path.assign(start + 1, end);
            first = false;
        }
        g_free(line);
        if (empty) break;
    }
    const std::string response = server->response_for(path);
    GOutputStream* out = g_io_stream_get_output_stream(G_IO_STREAM(connection));
    g_output_stream_write_all(out, response.data(), response.size(), nullptr, nullptr, nullptr);
    g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
    g_object_unref(lines);
    return TRUE;
}

} // namespace

LoopbackHttp::LoopbackHttp() {
    service_ = g_threaded_socket_service_new(4);
    GInetAddress* loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
    GSocketAddress* address = g_inet_socket_address_new(loopback, 0);
    GSocketAddress* effective = nullptr;
    if (g_socket_listener_add_address(G_SOCKET_LISTENER(service_), address, G_SOCKET_TYPE_STREAM,
                                      G_SOCKET_PROTOCOL_TCP, nullptr, &effective, nullptr))
        port_ = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(effective));
    if (effective) g_object_unref(effective);
    g_object_unref(address);
    g_object_unref(loopback);
    g_signal_connect(service_, "run", G_CALLBACK(on_request), this);
    g_socket_service_start(service_);
}

LoopbackHttp::~LoopbackHttp() {
    g_socket_service_stop(service_);
    g_socket_listener_close(G_SOCKET_LISTENER(service_));
    g_signal_handlers_disconnect_by_data(service_, this);
    g_object_unref(service_);
}

void LoopbackHttp::serve(const std::string& path, const std::string& content_type,
                         const std::string& body, const std::string& headers) {
    std::lock_guard<std::mutex> lock(mutex_);
    responses_[path] = "HTTP/1.0 200 OK\r\nContent-Type: " + content_type +
                       "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + headers +
                       "Connection: close\r\n\r\n" + body;
}

std::string LoopbackHttp::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int LoopbackHttp::hits(const std::string& path) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = hits_.find(path);
    return it == hits_.end() ? 0 : it->second;
}

std::string LoopbackHttp::response_for(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++hits_[path];
    auto it = responses_.find(path);
    if (it != responses_.end()) return it->second;
    return "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}
