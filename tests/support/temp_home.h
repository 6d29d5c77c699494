// A temporary folder that stands in for $HOME during one test, removed afterwards.
#pragma once

#include <string>

class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& relative) const { return path_ + "/" + relative; }

private:
    std::string path_;
    std::string saved_home_;
    bool had_home_ = false;
};

// Reads a whole file; "" when it cannot be read.
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& text);
