#include "snippets/script_headers.h"

#include <glib/gi18n-lib.h>

std::string ctime_line(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char buf[64];
    std::strftime(buf, sizeof buf, "%a %b %e %H:%M:%S %Y\n", &local);
    return buf;
}

std::vector<std::string> script_header_pieces(ScriptKind kind, std::time_t when) {
    const std::string address = kProductAddress;
    switch (kind) {
    case ScriptKind::bash:
        return {std::string(_("#!/bin/bash\n\n# Script BASH edite avec Orvane: ")) + address +
                    "\n# Date de creation du script : ",
                ctime_line(when)};
    case ScriptKind::perl:
        return {std::string(_("#!/usr/bin/perl\n\n# Script perl Orvane: ")) + address +
                    "\n# Date start script : ",
                ctime_line(when), "\n\n"};
    case ScriptKind::php:
        return {std::string(_("<?\n\n/* \n * Script PHP Orvane: ")) + address +
                    "\n * Date start script : ",
                ctime_line(when), " *\n */\n\n?>"};
    }
    return {};
}

NewFileHeader new_file_header_for(std::string_view name) {
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return NewFileHeader::none;
    std::string_view ext = name.substr(dot);
    if (ext == ".sh") return NewFileHeader::bash;
    if (ext == ".pl") return NewFileHeader::perl;
    if (ext == ".php") return NewFileHeader::php;
    if (ext == ".html" || ext == ".htm") return NewFileHeader::html;
    return NewFileHeader::none;
}
