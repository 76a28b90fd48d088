#!/usr/bin/env perl
# plan_effect.pl SNAPSHOT PLAN: what the plan's lines remove, in the snapshot's form (see
# snapshot.pl), sorted: each removed file, directory, key and value, with the values of a
# removed key. HKCR stands for the machine's classes, where Wine keeps what is registered for
# all users. Other lines of the plan are left out.
use strict;
use warnings;

my ($snapshot, $plan) = @ARGV;
die "usage: plan_effect.pl SNAPSHOT PLAN\n" unless defined $plan;
open(my $before, '<', $snapshot) or die "$snapshot: $!\n";
my @values = grep { /^value / } map { s/\n$//r } <$before>;
close $before;

my %removed;
open(my $lines, '<', $plan) or die "$plan: $!\n";
while (my $line = <$lines>) {
  $line =~ s/\r?\n$//;
  $line = lc $line;
  $line =~ s/^(remove (?:key|value) )hkcr\\/$1hklm\\software\\classes\\/;
  if ($line =~ /^remove (file|directory) (.*)$/) {
    $removed{"$1 $2"} = 1;
  } elsif ($line =~ /^remove key (.*)$/) {
    my $key = $1;
    $removed{"key $key"} = 1;
    $removed{$_} = 1 for grep { index($_, "value $key ") == 0 } @values;
  } elsif ($line =~ /^remove value (.*)$/) {
    $removed{"value $1"} = 1;
  }
}
close $lines;
print "$_\n" for sort keys %removed;
