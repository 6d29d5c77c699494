#include "tools/doc_gen.h"

#include <glib.h>
#include <glib/gi18n-lib.h>

#include <algorithm>
#include <optional>

#include "documents/path_helpers.h"
#include "shell/gobj.h"
#include "shell/message_format.h"
#include "snippets/script_headers.h"
#include "tools/code_lines.h"
#include "tools/html_template.h"

using namespace code_lines;

namespace {

enum class Entry { include, function, form_variable, subroutine, module, instruction, comment };

struct EntryStyle {
    const char* label;
    const char* colour; // nullptr: the page's own colour
};

EntryStyle style_of(Entry e) {
    switch (e) {
    case Entry::include:
        return {"Include file : ", "#a427f2"};
    case Entry::function:
    case Entry::subroutine:
        return {"Function : ", nullptr};
    case Entry::form_variable:
        return {"Variable : ", "#2e8b71"};
    case Entry::module:
        return {"Module : ", "#a427f2"};
    case Entry::instruction:
        return {"Instruction : ", "#a52a44"};
    case Entry::comment:
        break;
    }
    return {"Comment : ", "#0d0dff"};
}

constexpr const char* kStyleSheet =
    "div#content a {\n    color: #3465a4;\n    text-decoration: none;\n}\n"
    "\n"
    "div#content a:hover {\n    text-decoration: underline;\n}\n"
    "\n"
    "div#content {\n    clear: both;\n    padding: 1em;\n    margin: 1em;\n}\n"
    "\n"
    "div.table-of-contents {\n    border: 1px dotted #888;\n    background: #f0f0f0;\n"
    "    margin: 1em 1em 1em 1em;\n    font-size: 85%;\n    width: 750px;\n}\n"
    "\n"
    "div.table-of-contents p.table-of-contents-heading {\n    font-weight: bold;\n"
    "    margin: 0.5em 1em;\n}\n"
    "\n"
    "div.table-of-contents ol {\n    margin: 1em 0.5em 1em 1em;\n    padding: 0;\n}\n"
    "\n"
    "div.table-of-contents ol li {\n    margin: 0;\n    padding: 0;\n    margin-left: 1em;\n}\n"
    "\n"
    "div.table-of-contents ol ol {\n    margin: 0.5em 0.5em 0.5em 1em;\n    padding: 0;\n}\n"
    "\n"
    "hr {\n    border: 1;\n    width: 80%;\n    color: gray;\n    background-color: gray;\n}\n"
    "\n"
    "body {\n    font-family: Abel, sans-serif;\n    font-size: 10pt;\n}\n"
    "\n"
    "h1 {\n    font-family: Abel, sans-serif;\n    font-size: 15pt;\n}\n";

// Titles stand inside href and name attributes too.
std::string attribute_text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

std::string element_text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

// Captured code never carries markup: its '<' and '>' become '/'.
std::string without_markup(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), '<', '/');
    std::replace(out.begin(), out.end(), '>', '/');
    return out;
}

class Generator {
  public:
    explicit Generator(std::string_view path) {
        auto ext = base_name_extension(path);
        php_ = ext == ".php";
        perl_ = ext == ".pl";
        comments_ = perl_ || ext == ".sh";
    }

    void line(std::string_view line) {
        spaces_ += static_cast<std::size_t>(std::count(line.begin(), line.end(), ' '));
        const std::size_t start = code_start(line);
        const std::size_t hash = comments_ ? line.find('#') : std::string_view::npos;
        if (hash < start) return comment(line.substr(hash));
        if (start == std::string_view::npos) return;
        std::string_view code = line.substr(start);
        std::size_t decision = 0;
        while (decision < code.size() && is_alnum(code[decision]))
            ++decision;
        // Code with no other byte after its first word decides nothing.
        if (decision == code.size()) return;
        if (hash == start + decision) return comment(code);

        std::string_view head = code.substr(0, kTextLimit);
        auto match = match_keyword(head, start > 0 ? line[start - 1] : '\0');
        if (match.keyword != Keyword::none) {
            auto kind = entry_of(match.keyword);
            if (applies(kind)) return capture(kind, code, match.end);
            // A kind foreign to this file type wins every decision of the line,
            // so nothing else starts on it but a comment.
        } else if (php_ && has_form_variable(head)) {
            return capture(Entry::form_variable, code, 0);
        }
        if (hash != std::string_view::npos) comment(code);
    }

    GeneratedDocumentation finish(std::string_view path) && {
        GeneratedDocumentation doc;
        std::string& out = doc.html;
        const std::string skeleton = html_page_skeleton();
        out += skeleton.substr(0, skeleton.find('\n') + 1);
        out += "<html>\n<head>\n"
               "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\n"
               "<title></title>\n"
               "<style type=\"text/css\">\n";
        out += kStyleSheet;
        out += "</style></head><body>\n\n";
        out += "\n\n<a name=\"top\"></a>\n\n      <div id=\"content\"><img src=\"";
        out += kProductAddress;
        out += "/images/orvane_start.png\">\n"
               "        <div class=\"table-of-contents\">\n"
               "    <p class=\"table-of-contents-heading\">Documentation</p>\n"
               "      <ol>\n"
               "        <li><a href=\"#Introduction\">Introduction</a>\n"
               "        <ol>\n\n";
        out += toc_;
        out += "\n\n        </ol>\n        </li>\n\n  </div>\n\n\t\t  <br>\n"
               "        <a name=\"Introduction\"></a>\n"
               "        <h1>Introduction</h1>\n"
               "        <p>\n"
               "\t\t\tAutor :      <br>\n"
               "\t\t\tEmail :       <br>File :  \n";
        out += element_text(path);
        out += "\t\t\t\n<br><br>\n\t\t\tSummary :<br><br>\n\n\t\t\t</p>\n\n";
        out += sections_;
        out += "<hr>\n<a href=\"";
        out += kProductAddress;
        out += "\">Orvane</a>\n      </div>\n</body>\n</html>\n";
        if (dropped_ > 0)
            doc.log_lines.push_back(format_with_number(
                _("Doc Gen : la documentation est limitée à 89999 octets par partie, %d "
                  "entrées ont été omises."),
                static_cast<long>(dropped_)));
        return doc;
    }

  private:
    static Entry entry_of(Keyword k) {
        switch (k) {
        case Keyword::include:
            return Entry::include;
        case Keyword::function:
            return Entry::function;
        case Keyword::sub:
            return Entry::subroutine;
        case Keyword::use:
            return Entry::module;
        default:
            break;
        }
        return Entry::instruction;
    }

    bool applies(Entry e) const {
        switch (e) {
        case Entry::form_variable:
            return php_;
        case Entry::subroutine:
        case Entry::module:
            return perl_;
        case Entry::comment:
            return comments_;
        default:
            return true;
        }
    }

    void capture(Entry kind, std::string_view code, std::size_t keyword_end) {
        switch (kind) {
        case Entry::include:
            if (auto name = first_quoted(code)) write(kind, without_markup(cut_utf8(*name)));
            return;
        case Entry::form_variable: {
            auto bracket = code.find(']');
            std::string x = without_markup(cut_utf8(code.substr(0, bracket)));
            if (bracket != std::string_view::npos) x += ']';
            return write(kind, x);
        }
        case Entry::instruction:
            return write(kind, without_markup(cut_utf8(code)));
        default:
            return write(kind, without_markup(cut_utf8(code.substr(keyword_end))));
        }
    }

    void comment(std::string_view text) {
        if (spaces_ > 2 && text.size() > 3) write(Entry::comment, without_markup(cut_utf8(text)));
        spaces_ = 0;
    }

    void write(Entry kind, std::string_view x) {
        if (dropped_ > 0) {
            ++dropped_;
            return;
        }
        const auto style = style_of(kind);
        const std::string title = style.label + std::string(x);
        const std::string anchor = attribute_text(title);
        std::string toc_entry =
            style.colour ? std::string("<li style=\"color:") + style.colour + ";\">" : "<li>";
        toc_entry += "<a href=\"#" + anchor + "\">" + title + "</a></li>\n";
        std::string section =
            "<hr><a href=\"#top\">Top page</a>\n        <a name=\"" + anchor + "\"></a>\n        ";
        section += style.colour ? std::string("<h1 style=\"color:") + style.colour + ";\">"
                                : std::string("<h1>");
        section += title;
        section += "</h1>\n                <div class=\"table-of-contents\" style=\"width:90%;\">\n"
                   "    <p class=\"table-of-contents-heading\">Summary</p>\n\n"
                   "Your text here<br><br> \n\n\t\t\t</div>\n\n";
        // Whole entries only, and none after the first that does not fit, so the
        // page documents the file up to one place instead of skipping about.
        if (toc_.size() + toc_entry.size() > kDocGenPartLimit ||
            sections_.size() + section.size() > kDocGenPartLimit) {
            ++dropped_;
            return;
        }
        toc_ += toc_entry;
        sections_ += section;
    }

    bool php_ = false;
    bool perl_ = false;
    bool comments_ = false;
    std::size_t spaces_ = 0;
    std::size_t dropped_ = 0;
    std::string toc_;
    std::string sections_;
};

} // namespace

GeneratedDocumentation generate_documentation(std::string_view text, std::string_view path) {
    Generator gen(path);
    for_each_line(text, [&](std::string_view line, int) { gen.line(line); });
    return std::move(gen).finish(path);
}

std::string documentation_base_uri(std::string_view path) {
    auto slash = path.rfind('/');
    if (path.empty() || path.front() != '/' || slash == std::string_view::npos) return {};
    auto folder = to_filesystem_encoding(path.substr(0, slash + 1));
    if (!folder) return {};
    GCharPtr uri(g_filename_to_uri(folder->c_str(), nullptr, nullptr));
    return uri ? std::string(uri.get()) : std::string();
}
