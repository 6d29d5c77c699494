#!/usr/bin/perl
# The interface modules stand on floors and include only downwards:
#   1  reporting, dialogs, the window's long-lived widgets, menu building,
#      configuration actions (src/shell/ui, the files listed below)
#   2  the documents (src/documents/ui)
#   3  the tools (src/{terminal,web,tools,snippets,remote}/ui); a tool may use
#      another tool's header
#   4  the main-window builder, menu table, toolbars, file panel and app
# Core sources (src/<subsystem>/*) never include an interface header.
# Usage: check-includes.pl SRC_DIR   (prints each offending include; exit 1)
use strict;
use warnings;
use File::Find;

my $src = shift or die "usage: $0 SRC_DIR\n";
my %shell_floor = (
    report => 1, dialogs => 1, window_parts => 1, command_entry => 1,
    config_actions => 1, menu_builders => 1, tabs_window => 1, preferences => 1,
    accessibility => 1,
    app => 4, main_window => 4, menu => 4, menu_table => 4, toolbars => 4,
    file_panel => 4,
);
my %tool = map { $_ => 1 } qw(terminal web tools snippets remote);

# The floor of a path relative to src/, or undef for a core file; dies on an
# interface file that has no floor yet, so that a new module is placed on purpose.
sub floor_of {
    my ($rel) = @_;
    return 5 if $rel eq 'main.cpp'; # the program's entry stands above everything
    my ($dir, $rest) = $rel =~ m{^([^/]+)/(.*)$} or return undef;
    return undef unless $rest =~ m{^ui/([^/]+)\.(?:h|cpp)$};
    my $base = $1;
    return 2 if $dir eq 'documents';
    return 3 if $tool{$dir};
    if ($dir eq 'shell') {
        return $shell_floor{$base} if exists $shell_floor{$base};
        die "$rel: no floor assigned (add it to check-includes.pl)\n";
    }
    die "$rel: interface folder of unknown subsystem\n";
}

my @files;
find(sub { push @files, $File::Find::name if /\.(h|cpp)$/ }, $src);
my $bad = 0;
for my $file (sort @files) {
    (my $rel = $file) =~ s{^\Q$src\E/?}{};
    my $floor = floor_of($rel);
    open my $fh, '<', $file or die "$file: $!\n";
    while (my $line = <$fh>) {
        next unless $line =~ /^\s*#\s*include\s+"([^"]+)"/;
        my $target = $1;
        next unless $target =~ m{^[^/]+/ui/};
        my $tfloor = floor_of($target);
        my $why;
        if (!defined $floor) {
            $why = "a core file includes an interface header";
        } elsif ($tfloor > $floor) {
            $why = "floor $floor includes floor $tfloor";
        } elsif ($floor == 3 && $tfloor == 3) {
            next;
        }
        if ($why) {
            print "$rel:$.: $target ($why)\n";
            $bad = 1;
        }
    }
    close $fh;
}
exit $bad;
