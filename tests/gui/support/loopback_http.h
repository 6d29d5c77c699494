// A tiny HTTP/1.0 server on 127.0.0.1 (a free port) for tests of the web views:
// each request is answered from a table of canned responses, from a thread of
// its own so that the test's main loop keeps running. Nothing leaves the host.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

typedef struct _GSocketService GSocketService;

class LoopbackHttp {
  public:
    LoopbackHttp();
    ~LoopbackHttp();
    LoopbackHttp(const LoopbackHttp&) = delete;
    LoopbackHttp& operator=(const LoopbackHttp&) = delete;

    // Answers GET `path` with status 200, `content_type` and `body`; `headers`
    // are extra header lines, each ending in "\r\n".
    void serve(const std::string& path, const std::string& content_type, const std::string& body,
               const std::string& headers = "");
    // "http://127.0.0.1:<port>" followed by `path`.
    std::string url(const std::string& path) const;
    // How many requests for `path` arrived.
    int hits(const std::string& path) const;

    // Used by the serving thread.
    std::string response_for(const std::string& path);

  private:
    GSocketService* service_ = nullptr;
    unsigned port_ = 0;
    mutable std::mutex mutex_;
    std::map<std::string, std::string> responses_;
    std::map<std::string, int> hits_;
};
