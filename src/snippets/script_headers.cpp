#include "snippets/script_headers.h"

#include <cstdio>
#include <glib/gi18n-lib.h>

std::string ctime_line(std::time_t when) {
    // ctime's names are English whatever the user's locale, so strftime's %a and %b
    // (which follow LC_TIME once the toolkit has set the locale) cannot be used.
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    localtime_r(&when, &local);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3s %.3s%3d %.2d:%.2d:%.2d %d\n", days[local.tm_wday % 7],
                  months[local.tm_mon % 12], local.tm_mday, local.tm_hour, local.tm_min,
                  local.tm_sec, local.tm_year + 1900);
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
        return {std::string(_("<?php\n\n/* \n * Script PHP Orvane: ")) + address +
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
