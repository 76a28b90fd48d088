#!/usr/bin/env perl
# snapshot.pl PREFIX: what a Wine prefix holds that an uninstallation could remove, one line
# each, in small letters, sorted: "file C:\...", "directory C:\..." for everything on drive C:
# outside the Windows directory, "key HKLM\..." and "value HKLM\... NAME" ("(default)" for the
# default value) for the machine's and the user's registry (HKCU). Left out is what Wine itself
# writes: HKLM\System and HKLM\Hardware as it starts, and the folder values right in
# HKLM\Software\Microsoft\Windows\CurrentVersion when a program first asks for the system's
# folders. Read from the registry files, so run it
# only while the prefix's wineserver is down.
use strict;
use warnings;
use File::Find;

my $prefix = shift or die "usage: snapshot.pl PREFIX\n";
my $drive = "$prefix/drive_c";
my @lines;

find({ no_chdir => 1, wanted => sub {
  my $path = $File::Find::name;
  return if $path eq $drive;
  my $relative = substr($path, length($drive) + 1);
  if ($relative =~ m{^windows(/|$)}i) { $File::Find::prune = 1; return; }
  (my $windows = "C:\\$relative") =~ s{/}{\\}g;
  push @lines, (-d $path && !-l $path ? 'directory' : 'file') . " $windows";
}}, $drive);

sub unescaped {
  my ($text) = @_;
  $text =~ s/\\(.)/$1/g;
  return $text;
}

for my $hive (['system.reg', 'HKLM'], ['user.reg', 'HKCU']) {
  my ($file, $root) = @$hive;
  open(my $reg, '<', "$prefix/$file") or die "$prefix/$file: $!\n";
  my $key;
  while (my $line = <$reg>) {
    $line =~ s/\r?\n$//;
    if ($line =~ /^\[(.*)\](\s+\d+)?$/) {
      $key = "$root\\" . unescaped($1);
      # Wine writes a key without values only where it has no subkeys either: its parents
      # are there all the same.
      my @parts = split /\\/, $key;
      push @lines, 'key ' . join('\\', @parts[0 .. $_]) for 1 .. $#parts;
    } elsif (defined $key && $line =~ /^@=/) {
      push @lines, "value $key (default)";
    } elsif (defined $key && $line =~ /^"((?:[^"\\]|\\.)*)"=/) {
      push @lines, "value $key " . unescaped($1);
    }
  }
  close $reg;
}
my $wines = qr/^(?:(?:key|value) hklm\\(?:system|hardware)(?:\\| |$)|value hklm\\software\\microsoft\\windows\\currentversion [^\\]*$)/;
my %seen;
print "$_\n" for sort grep { !/$wines/ && !$seen{$_}++ } map { lc } @lines;
