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
