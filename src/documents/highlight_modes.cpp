#include "documents/highlight_modes.h"

#include <array>
#include <glib.h>

#include "shell/lines.h"

namespace {

struct ModeLanguage {
    const char* mode;
    const char* language; // null: no language
};

// GtkSourceView names the JavaScript language "js"; PO files are shown with
// the Perl rules, which colour their comments and strings well enough.
constexpr std::array<ModeLanguage, 14> kModes{{
    {"none", nullptr},
    {"HTML", "html"},
    {"JAVASCRIPT", "js"},
    {"XML", "xml"},
    {"CSS", "css"},
    {"PHP", "php"},
    {"PERL", "perl"},
    {"BASH Script", "sh"},
    {"C", "c"},
    {"C++", "cpp"},
    {"gettext PO file", "perl"},
    {"Python", "python"},
    {"Ruby", "ruby"},
    {"JAVA", "java"},
}};

struct Ending {
    const char* suffix;
    const char* mode;
};

// The first ending that matches decides, so a.cpp.c is C.
constexpr std::array<Ending, 19> kEndings{{
    {".html", "HTML"},
    {".htm", "HTML"},
    {".xml", "XML"},
    {".js", "JAVASCRIPT"},
    {".c", "C"},
    {".h", "C"},
    {".jar", "JAVA"},
    {".jav", "JAVA"},
    {".java", "JAVA"},
    {".class", "JAVA"},
    {".py", "Python"},
    {".rb", "Ruby"},
    {".php", "PHP"},
    {".cpp", "C++"},
    {".css", "CSS"},
    {".pl", "PERL"},
    {".sh", "BASH Script"},
    {".pot", "gettext PO file"},
    {".po", "gettext PO file"},
}};

bool ends_with(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

} // namespace

const std::vector<std::string>& highlight_mode_names() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const auto& m : kModes)
            out.emplace_back(m.mode);
        return out;
    }();
    return names;
}

LanguageChoice language_for_mode(std::string_view mode) {
    for (const auto& m : kModes) {
        if (mode != m.mode) continue;
        if (!m.language) return {LanguageChoice::clear, {}};
        return {LanguageChoice::set, m.language};
    }
    return {};
}

std::optional<std::string> mode_for_file_name(std::string_view path) {
    // Lower-casing ASCII is enough: every ending is ASCII, and other bytes of
    // the name (in any encoding) are left as they are.
    std::string lower(path);
    for (char& c : lower)
        c = g_ascii_tolower(c);
    for (const auto& e : kEndings)
        if (ends_with(lower, e.suffix)) return std::string(e.mode);
    return std::nullopt;
}

std::optional<std::string> mode_for_content(std::string_view text) {
    auto has = [text](std::string_view s) { return text.find(s) != std::string_view::npos; };
    if (has("#!/bin/bash") || has("#!/bin/sh")) return std::string("BASH Script");
    if (has("#!/bin/perl") || has("#!/usr/bin/perl")) return std::string("PERL");
    return std::nullopt;
}

std::string highlight_mode_for_file(const std::string& path, bool by_content) {
    if (auto mode = mode_for_file_name(path)) return *mode;
    if (by_content && g_file_test(path.c_str(), G_FILE_TEST_IS_REGULAR))
        if (auto text = file_read_all(path))
            if (auto mode = mode_for_content(*text)) return *mode;
    return "none";
}

const std::vector<ThemeEntry>& theme_entries() {
    static const std::vector<ThemeEntry> entries = {
        {"Theme Classic (Default)", "classic"}, {"Theme Cobalt", "cobalt"}, {"Theme Kate", "kate"},
        {"Theme Oblivion", "oblivion"},         {"Theme Tango", "tango"},
    };
    return entries;
}

std::string theme_file_text(std::string_view scheme) {
    return std::string(scheme) + "\n";
}

bool theme_applies_to_panels(std::string_view scheme) {
    return scheme != "tango";
}
