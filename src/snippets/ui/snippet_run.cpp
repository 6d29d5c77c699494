#include "snippets/ui/snippet_run.h"

#include "documents/ui/documents.h"
#include "snippets/snippet_catalogue.h"
#include "snippets/ui/command_builder_dialogs.h"
#include "snippets/ui/file_headers.h"
#include "terminal/terminal_texts.h"
#include "terminal/ui/terminal_panel.h"
#include "tools/ui/html_tools_ui.h"

namespace {

SnippetTerminalTyper g_typer = nullptr;

void run_operation(SnippetOperation operation) {
    using Op = SnippetOperation;
    switch (operation) {
    case Op::bash_header:
        insert_bash_header();
        break;
    case Op::perl_header:
        insert_perl_header();
        break;
    case Op::php_header:
        insert_php_header();
        break;
    case Op::html_skeleton:
        html_skeleton_command();
        break;
    case Op::comment:
        html_comment_command();
        break;
    case Op::html_table:
        html_table_command();
        break;
    case Op::link_around_selection:
        html_link_around_selection();
        break;
    case Op::image_around_selection:
        html_image_around_selection();
        break;
    case Op::div_around_selection:
        html_div_around_selection();
        break;
    case Op::case_builder:
        open_case_builder();
        break;
    case Op::grep_builder:
        open_grep_builder();
        break;
    case Op::awk_builder:
        open_awk_builder();
        break;
    case Op::sed_builder:
        open_sed_builder();
        break;
    case Op::scp_builder:
        open_scp_builder();
        break;
    case Op::none:
        break;
    }
}

} // namespace

void snippet_run(std::string_view key) {
    const SnippetRow* row = snippet_find(key);
    if (!row) return;
    switch (row->action) {
    case SnippetAction::insert_text:
        doc_insert_at_cursor(snippet_text(*row));
        break;
    case SnippetAction::run_operation:
        run_operation(row->operation);
        break;
    case SnippetAction::type_in_terminal:
        snippet_type_command(terminal_current(), key);
        break;
    case SnippetAction::none:
        break;
    }
}

void snippet_type_command(GtkWidget* terminal, std::string_view key) {
    const TerminalCommandItem* item = terminal_command_item(key);
    if (!terminal || !item) return;
    if (g_typer)
        g_typer(terminal, item->text);
    else
        terminal_type(terminal, item->text);
}

void snippet_terminal_typer_set(SnippetTerminalTyper typer) {
    g_typer = typer;
}
