// Owning pointers for what GLib and GObject hand out.
#pragma once

#include <glib-object.h>
#include <memory>

struct GFreeDeleter {
    void operator()(void* p) const { g_free(p); }
};
struct GObjectDeleter {
    void operator()(void* p) const { g_object_unref(p); }
};
struct GErrorDeleter {
    void operator()(GError* e) const { g_error_free(e); }
};
struct GStrvDeleter {
    void operator()(gchar** v) const { g_strfreev(v); }
};

using GCharPtr = std::unique_ptr<gchar, GFreeDeleter>;
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;
using GStrvPtr = std::unique_ptr<gchar*, GStrvDeleter>;
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectDeleter>;

// A C++ object handed to GLib as a callback's data: `hand_to_glib` gives up the
// ownership, `destroy_handed<T>` is the matching GDestroyNotify, and
// `take_back<T>` owns it again where the callback ends its life.
template <typename T> gpointer hand_to_glib(std::unique_ptr<T> object) {
    return object.release();
}
template <typename T> void destroy_handed(gpointer data) {
    std::unique_ptr<T>{static_cast<T*>(data)};
}
template <typename T> std::unique_ptr<T> take_back(gpointer data) {
    return std::unique_ptr<T>{static_cast<T*>(data)};
}
