#!/usr/bin/perl
# Fails when a user-visible string literal in the GUI sources is not marked for
# translation. It looks at the calls that put text in front of the user (log,
# status bar, notifications, dialogs, labels, titles, tooltips, buttons, menu
# rows: their first argument only) and reports every string literal passed to
# them directly, that is not inside _() or N_() or another call. Literals
# without a letter (" ", "%s", "-x-"), stock ids ("gtk-open") and single words
# joined to a value with "+" (path + ".bak") are no text to translate; anything
# else deliberately left unmarked goes into the allow-list file, one
# "file-suffix<TAB>literal" per line.
#   check-marked-strings.pl ALLOW_LIST FILE...
use strict;
use warnings;

my @calls = qw(
  log_message status_message notify_user show_message ask_confirmation
  gtk_label_new gtk_label_new_with_mnemonic gtk_label_set_text gtk_label_set_markup
  gtk_window_set_title gtk_button_new_with_label gtk_button_new_with_mnemonic
  gtk_check_button_new_with_label gtk_check_button_new_with_mnemonic
  gtk_radio_button_new_with_label gtk_toggle_button_new_with_label
  gtk_menu_item_new_with_label gtk_menu_item_new_with_mnemonic
  gtk_widget_set_tooltip_text gtk_tool_item_set_tooltip_text gtk_frame_new
  gtk_expander_new gtk_link_button_new_with_label gtk_entry_set_placeholder_text
  gtk_file_chooser_dialog_new gtk_dialog_add_button gtk_dialog_new_with_buttons
  gtk_message_dialog_new gtk_notebook_set_tab_label_text gtk_tree_view_column_new_with_attributes
  menu_add_item menu_add_submenu command_entry_prompt
  item sub menu dyn
);
my $call_re = join '|', map { quotemeta } @calls;

my ($allow_file, @files) = @ARGV;
die "usage: $0 ALLOW_LIST FILE...\n" unless defined $allow_file && @files;
my @allowed;
open my $af, '<:encoding(UTF-8)', $allow_file or die "$allow_file: $!\n";
while (<$af>) {
    chomp;
    next if /^\s*(#|$)/;
    my ($suffix, $literal) = split /\t/, $_, 2;
    push @allowed, [$suffix, $literal // ''];
}
close $af;

# Blanks out comments and the contents of character literals, keeping string
# literals and line numbers.
sub strip_comments {
    my ($text) = @_;
    my $out = '';
    while ($text =~ m{\G(?:(//[^\n]*)|(/\*.*?\*/)|("(?:\\.|[^"\\\n])*")|('(?:\\.|[^'\\\n])*')|(.))}gs) {
        if (defined $1) { }
        elsif (defined $2) { my $c = $2; $out .= "\n" x ($c =~ tr/\n//); }
        elsif (defined $3) { $out .= $3; }
        elsif (defined $4) { $out .= "' '"; }
        else { $out .= $5; }
    }
    return $out;
}

# The argument text of the call whose "(" is at $open, or undef when unbalanced.
sub argument_text {
    my ($text, $open) = @_;
    my $depth = 0;
    for (my $i = $open; $i < length $text; ++$i) {
        my $c = substr($text, $i, 1);
        if ($c eq '"') {
            pos($text) = $i;
            $text =~ /\G"(?:\\.|[^"\\\n])*"/gc or return undef;
            $i = pos($text) - 1;
            next;
        }
        $depth++ if $c eq '(';
        $depth-- if $c eq ')';
        return substr($text, $open + 1, $i - $open - 1) if $depth == 0;
    }
    return undef;
}

my $failures = 0;
for my $file (@files) {
    open my $fh, '<:encoding(UTF-8)', $file or die "$file: $!\n";
    local $/;
    my $text = strip_comments(<$fh>);
    close $fh;
    while ($text =~ /\b($call_re)\s*\(/g) {
        my ($name, $open) = ($1, pos($text) - 1);
        my $args = argument_text($text, $open);
        next unless defined $args;
        # Nested calls, _() and N_() included, are not this call's own literals.
        my $top = $args;
        1 while $top =~ s/\b\w+\s*\((?:[^()"]|"(?:\\.|[^"\\])*")*\)/ /g;
        # A menu row's label is its first argument, the rest are accelerators; a
        # tree column's title is its first, the rest are attribute names.
        if ($name =~ /^(?:item|sub|menu|dyn|gtk_tree_view_column_new_with_attributes)$/) {
            $top = $top =~ /^\s*((?:"(?:\\.|[^"\\])*"\s*)+)/ ? $1 : '';
        }
        while ($top =~ /(\+\s*)?"((?:\\.|[^"\\])*)"(\s*\+)?/g) {
            my ($joined, $literal) = (defined $1 || defined $3, $2);
            # One word joined to a value (path + ".bak") is a file-name piece.
            next if $joined && $literal !~ /\s/;
            next unless $literal =~ /\p{L}/;
            next if $literal =~ /^gtk-[a-z-]+$/; # stock ids name pictures and texts GTK translates
            next if grep { $file =~ /\Q$_->[0]\E$/ && $_->[1] eq $literal } @allowed;
            my $line = 1 + (substr($text, 0, $open) =~ tr/\n//);
            print "$file:$line: $name(\"$literal\") is not marked with _() or N_()\n";
            ++$failures;
        }
    }
}
print "$failures unmarked user-visible string(s)\n" if $failures;
exit($failures ? 1 : 0);
