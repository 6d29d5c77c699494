// "Doc Gen": an HTML documentation skeleton for a source file, with a table of
// contents and one titled section per include, module, form variable,
// function, subroutine, control instruction and comment found in it, each with
// a placeholder text for the author to fill in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Neither the table of contents nor the sections grow past this many bytes.
inline constexpr std::size_t kDocGenPartLimit = 89999;

struct GeneratedDocumentation {
    std::string html;
    // Lines for the log panel (kind normal): one when the size limit dropped entries.
    std::vector<std::string> log_lines;
};

// The documentation of the UTF-8 `text` of the file at `path` (UTF-8). Entry
// kinds by the extension of the path's base name, compared exactly: include
// and function (after any of the modifiers public, protected, private, static,
// abstract, final, async, export, default) and the instructions if, while,
// unless, foreach, exit everywhere; form variables ($_GET, $_POST, $_REQUEST)
// in ".php"; use and sub in ".pl"; comments from '#' in ".pl" and ".sh", once
// more than two spaces have been read since the previous comment. Every '<'
// and '>' of the file becomes '/'. When an entry would take the table of
// contents or the sections past kDocGenPartLimit, it and every later entry are
// left out and one log line says how many.
GeneratedDocumentation generate_documentation(std::string_view text, std::string_view path);

// The address the preview of the generated text resolves relative links
// against: the source file's folder, as a file:// URI ending in '/'. Empty when
// the path is not absolute.
std::string documentation_base_uri(std::string_view path);
