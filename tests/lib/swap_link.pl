#!/usr/bin/env perl
# swap_link.pl DIRECTORY TARGET CONTROL: another user racing the uninstaller. While the file
# CONTROL/go exists, swaps DIRECTORY for a symbolic link to TARGET and back, as fast as it can
# (rename away, link in its place, link away, rename back). While it does not, the directory is
# in its place and CONTROL/idle exists. Ends once CONTROL/stop exists, printing how many swaps
# it made.
use strict;
use warnings;

my ($directory, $target, $control) = @ARGV;
die "usage: swap_link.pl DIRECTORY TARGET CONTROL\n" unless defined $control;
my $away = "$directory.away";
my $swaps = 0;
until (-e "$control/stop") {
  if (-e "$control/go") {
    unlink "$control/idle";
    for (1 .. 200) {
      rename $directory, $away or last;
      symlink $target, $directory;
      unlink $directory;
      rename $away, $directory;
      ++$swaps;
    }
  } else {
    if (!-e "$control/idle") {
      open(my $idle, '>', "$control/idle") or die "$control/idle: $!\n";
      close $idle;
    }
    select(undef, undef, undef, 0.005);
  }
}
print "swap_link.pl: $swaps swaps\n";
