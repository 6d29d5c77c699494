#!/usr/bin/perl
# Prints the table of scripts/bench from Google Benchmark's JSON outputs (run
# with repetitions and aggregates), one file per benchmark program. Pairing
# rules are in bench/README.md.
use strict;
use warnings;
use JSON::PP;

# One file per benchmark program, read in the order given.
my (@order, %median);
for my $file (@ARGV) {
    open my $fh, '<', $file or die "$file: $!\n";
    my $doc = decode_json(do { local $/; <$fh> });
    close $fh;
    for my $b (@{ $doc->{benchmarks} }) {
        next unless ($b->{run_type} // '') eq 'aggregate' && ($b->{aggregate_name} // '') eq 'median';
        my $name = $b->{run_name};
        push @order, $name;
        $median{$name} = $b;
    }
}

sub base_name { my ($n) = @_; $n =~ s{/.*}{}; return $n; }
sub is_baseline { return base_name($_[0]) =~ /^BM_Baseline/; }
sub ns {
    my ($b) = @_;
    my %to_ns = (ns => 1, us => 1e3, ms => 1e6, s => 1e9);
    return $b->{real_time} * $to_ns{ $b->{time_unit} // 'ns' };
}
sub shown {
    my ($t) = @_;
    return sprintf('%.1f ns', $t) if $t < 1e3;
    return sprintf('%.2f us', $t / 1e3) if $t < 1e6;
    return sprintf('%.2f ms', $t / 1e6) if $t < 1e9;
    return sprintf('%.2f s', $t / 1e9);
}

printf "%-44s %12s  %-36s %12s %8s\n", 'benchmark', 'median', 'baseline', 'base median', 'ratio';
my $baseline;
for my $name (@order) {
    my $b = $median{$name};
    if (is_baseline($name)) {
        $baseline = $name;
        printf "%-44s %12s  %-36s %12s %8s\n", $name, shown(ns($b)), '(baseline)', '', '';
        next;
    }
    # A label "baseline: NAME" picks another baseline; "baseline: none" has none.
    my $pair = $baseline;
    if (($b->{label} // '') =~ /baseline:\s*(\S+)/) {
        $pair = $1 eq 'none' ? undef : (grep { base_name($_) eq $1 || $_ eq $1 } @order)[0];
    }
    my $base = defined $pair ? $median{$pair} : undef;
    # A throughput baseline only compares with a benchmark over bytes too.
    $base = undef if $base && (exists $base->{bytes_per_second}) != (exists $b->{bytes_per_second});
    if (!$base) {
        printf "%-44s %12s  %-36s %12s %8s\n", $name, shown(ns($b)), '-', '', '-';
        next;
    }
    my $ratio = exists $b->{bytes_per_second} && $b->{bytes_per_second} > 0
        ? $base->{bytes_per_second} / $b->{bytes_per_second}
        : ns($b) / ns($base);
    printf "%-44s %12s  %-36s %12s %7.1fx\n", $name, shown(ns($b)), $pair, shown(ns($base)), $ratio;
}
