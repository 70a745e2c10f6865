#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's screenshots from the real program under Xvfb: a new user
# whose game sits in ~/.wine picks a body, adds two accessories whose bones are
# suggested by their names, and the windows are captured as they look then.
# Then a suit of real size is opened and shown in the preview: a body of about
# 500 vertices (a tweed suit over the adult skeleton's limbs, with hands and a
# watch on the left wrist) shown with a head suit of 6 000 vertices and a hat,
# 8-bit BMP textures in every skin tone, the skeleton only in the game's
# archives. The files are written afresh by the Perl below, the same on every
# run, so the picture changes only when the program does.
# Needs xvfb, xdotool, imagemagick (scripts/deps.sh installs them) and perl.
# THEME=qt6ct or THEME=gtk3 runs the program under that desktop theme, set to
# a larger serif font, to see that no caption is cut; such shots go to OUT_DIR.
# Usage: [THEME=qt6ct|gtk3] docs/take-screenshots.sh [PATH/TO/tailorloft [OUT_DIR]]
#        (default build/app/tailorloft, and docs/)
set -euo pipefail
docs=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "${1:-$docs/../build/app/tailorloft}")
out=$(realpath "${2:-$docs}")

if [[ -z "${TAILORLOFT_SHOTS_DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" env TAILORLOFT_SHOTS_DISPLAY=1 "$0" "$program" "$out"
fi

work=$(mktemp -d)
trap 'kill "${pid:-}" 2>/dev/null; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb
unset WINEPREFIX
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# GTK's file dialog takes longer to open and to close.
settle=0.5
[[ "${THEME:-}" == gtk3 ]] && settle=2
case "${THEME:-}" in
  "") ;;
  qt6ct)
    mkdir -p "$XDG_CONFIG_HOME/qt6ct"
    cat >"$XDG_CONFIG_HOME/qt6ct/qt6ct.conf" <<'CONF'
[Appearance]
style=Fusion
[Fonts]
fixed="DejaVu Sans Mono,12,-1,5,50,0,0,0,0,0"
general="DejaVu Serif,12,-1,5,50,0,0,0,0,0"
CONF
    export QT_QPA_PLATFORMTHEME=qt6ct ;;
  gtk3)
    mkdir -p "$XDG_CONFIG_HOME/gtk-3.0"
    printf '[Settings]\ngtk-font-name=DejaVu Serif 12\n' >"$XDG_CONFIG_HOME/gtk-3.0/settings.ini"
    export QT_QPA_PLATFORMTHEME=gtk3 ;;
  *) echo "unknown THEME $THEME (qt6ct or gtk3)" >&2; exit 2 ;;
esac

# The game, installed in a Wine prefix with a few skins.
prefix=$HOME/.wine
skins="$prefix/drive_c/Program Files (x86)/Maxis/The Sims/GameData/Skins"
mkdir -p "$prefix/dosdevices" "$skins"
ln -s ../drive_c "$prefix/dosdevices/c:"
cat >"$prefix/system.reg" <<'REG'
WINE REGISTRY Version 2

[Software\\Wow6432Node\\Maxis\\The Sims] 1700000000
"InstallPath"="C:\\Program Files (x86)\\Maxis\\The Sims"
REG
touch "$skins"/{xskin-B700MAFit_mine-PELVIS-BODY,acc-hat-HEAD-red,acc-watch-L_HAND-gold}.skn

# The id of the visible window whose title is exactly $1, waiting up to 10 s.
window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [[ -n "$id" ]] &&
      { echo "$id"; return; }
    sleep 0.1
  done
  echo "no window titled \"$1\"" >&2
  exit 1
}
# Clicks at x y ($2 $3) relative to the top left corner of window $1.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }
# Types a file name into the open file dialog titled $1 and accepts it. With
# no window manager, keys go to the window under the pointer.
choose() {
  local dialog
  dialog=$(window "$1")
  sleep 0.5
  xdotool mousemove --window "$dialog" 300 200
  # Ctrl+L opens the GTK dialog's location field; Qt's own dialog ignores it.
  xdotool key ctrl+l
  sleep "$settle"
  xdotool type --delay 5 "$2"
  xdotool key Return
  sleep "$settle"
}

cd "$HOME"
"$program" &
pid=$!
main=$(window "Tailorloft - Version .* - by Quillmoss")
sleep 0.3

click "$main" 376 34                      # ... next to the body file name
choose "Select Body File" xskin-B700MAFit_mine-PELVIS-BODY.skn

click "$main" 108 114                     # Add
add=$(window "Add Accessory")
sleep 0.5
click "$add" 376 30                       # ... next to the accessory file
choose "Select Accessory File" acc-watch-L_HAND-gold.skn
click "$add" 152 110                      # OK

click "$main" 108 114                     # Add, a second time
add=$(window "Add Accessory")
sleep 0.5
click "$add" 376 30
choose "Select Accessory File" acc-hat-HEAD-red.skn
import -window "$add" "$out/add-accessory.png"
click "$add" 152 110                      # OK

sleep 0.3
import -window "$main" "$out/main-window.png"

xdotool mousemove --window "$main" 200 60 key F1   # the About box
about=$(window "About Tailorloft")
sleep 0.5
import -window "$about" "$out/about.png"
kill "$pid"
wait "$pid" 2>/dev/null || true

# The suit of real size: its files in the game's skin folder, the skeleton in
# GameData/Objects.far. Coordinates as the game's: y up, feet on y = 0, the
# face towards +Z, the Sim's left at -X.
game="$prefix/drive_c/Program Files (x86)/Maxis/The Sims"
perl - "$skins" "$game" <<'PERL'
use strict;
use warnings;

# Written as a creator's tools write them: text meshes bound to the adult
# skeleton's bones, 8-bit BMP textures, suit files; the skeleton as the game
# keeps it, adult-skeleton.cmx.bcf in an archive.
my ($skins, $game) = @ARGV;
my $pi = 4 * atan2(1, 1);

# ---------------------------------------------------------------------------
# The skeleton: the game's 29 bones standing as its adult does (feet on
# y = 0, face towards +Z, the left side at -X), identity rotations, so a
# bone's world place is the sum of the translations down to it. The arms
# hang a little away from the body.
my @skeleton = (
  [qw(ROOT NULL), 0, 3.0, 0],       [qw(PELVIS ROOT), 0, 0, 0],
  [qw(L_LEG PELVIS), -0.24, -0.1, 0], [qw(L_LEG1 L_LEG), 0, -1.33, 0.02],
  [qw(L_FOOT L_LEG1), -0.01, -1.35, -0.04], [qw(L_TOE0 L_FOOT), 0, -0.14, 0.3],
  [qw(L_TOE01 L_TOE0), 0, 0, 0.1],  [qw(L_TOE02 L_TOE01), 0, 0, 0.05],
  [qw(R_LEG PELVIS), 0.24, -0.1, 0], [qw(R_LEG1 R_LEG), 0, -1.33, 0.02],
  [qw(R_FOOT R_LEG1), 0.01, -1.35, -0.04], [qw(R_TOE0 R_FOOT), 0, -0.14, 0.3],
  [qw(R_TOE01 R_TOE0), 0, 0, 0.1],  [qw(R_TOE02 R_TOE01), 0, 0, 0.05],
  [qw(SPINE PELVIS), 0, 0.3, 0],    [qw(SPINE1 SPINE), 0, 0.45, 0],
  [qw(SPINE2 SPINE1), 0, 0.45, 0],  [qw(NECK SPINE2), 0, 0.45, 0],
  [qw(HEAD NECK), 0, 0.3, 0],
  [qw(L_ARM NECK), -0.2, -0.12, 0], [qw(L_ARM1 L_ARM), -0.24, -0.07, 0],
  [qw(L_ARM2 L_ARM1), -0.36, -0.84, 0], [qw(L_HAND L_ARM2), -0.22, -0.76, 0.06],
  [qw(L_FINGER0 L_HAND), -0.04, -0.18, 0.02],
  [qw(R_ARM NECK), 0.2, -0.12, 0],  [qw(R_ARM1 R_ARM), 0.24, -0.07, 0],
  [qw(R_ARM2 R_ARM1), 0.36, -0.84, 0], [qw(R_HAND R_ARM2), 0.22, -0.76, 0.06],
  [qw(R_FINGER0 R_HAND), 0.04, -0.18, 0.02],
);
my (%world, %order);
for my $i (0 .. $#skeleton) {
  my ($name, $parent, @t) = @{ $skeleton[$i] };
  my @base = $parent eq 'NULL' ? (0, 0, 0) : @{ $world{$parent} };
  $world{$name} = [ map { $base[$_] + $t[$_] } 0 .. 2 ];
  $order{$name} = $i;
}

sub add { my ($a, $b, $s) = @_; $s //= 1; return [ map { $a->[$_] + $s * $b->[$_] } 0 .. 2 ] }
sub sub3 { my ($a, $b) = @_; return [ map { $a->[$_] - $b->[$_] } 0 .. 2 ] }
sub dot { my ($a, $b) = @_; return $a->[0] * $b->[0] + $a->[1] * $b->[1] + $a->[2] * $b->[2] }
sub cross {
  my ($a, $b) = @_;
  return [ $a->[1] * $b->[2] - $a->[2] * $b->[1], $a->[2] * $b->[0] - $a->[0] * $b->[2],
           $a->[0] * $b->[1] - $a->[1] * $b->[0] ];
}
sub unit { my ($a) = @_; my $l = sqrt(dot($a, $a)) || 1; return [ map { $_ / $l } @$a ] }
sub mix { my ($a, $b, $t) = @_; return [ map { $a->[$_] * (1 - $t) + $b->[$_] * $t } 0 .. 2 ] }

# ---------------------------------------------------------------------------
# A mesh under construction: vertices in world space with their bone, UV and
# the point inside the surface they belong around (to turn faces outwards).
my (@verts, @faces);
sub vertex {
  my ($p, $u, $v, $bone, $inside) = @_;
  push @verts, { p => $p, u => $u, v => $v, bone => $bone, inside => $inside };
  return $#verts;
}

# A surface of rings: each ring a centre, a front and a side direction, its
# radii that way, a bone and a texture row v. Columns 0 .. n, the last on the
# first's place (u = 1) so the texture does not wrap back across a face. u =
# 0.5 faces the front. Caps close an end on a point: [point, v].
sub rings {
  my ($n, $u0, $u1, $rings, $capStart, $capEnd) = @_;
  my @rows;
  for my $r (@$rings) {
    my @row;
    for my $c (0 .. $n) {
      my $theta = 2 * $pi * $c / $n;
      my $p = add(add($r->{c}, $r->{front}, -cos($theta) * $r->{rf}), $r->{side}, sin($theta) * $r->{rs});
      $p = $r->{shape}->($p, $theta) if $r->{shape};
      push @row, vertex($p, $u0 + ($u1 - $u0) * $c / $n, $r->{v}, $r->{bone}, $r->{c});
    }
    push @rows, \@row;
  }
  for my $i (0 .. $#rows - 1) {
    for my $c (0 .. $n - 1) {
      my ($a, $b, $d, $e) = ($rows[$i][$c], $rows[$i][$c + 1], $rows[$i + 1][$c], $rows[$i + 1][$c + 1]);
      push @faces, [ $a, $d, $b ], [ $b, $d, $e ];
    }
  }
  for my $cap ([ $capStart, 0, 1 ], [ $capEnd, $#rows, $#rows - 1 ]) {
    my ($point, $at, $next) = @$cap;
    next unless $point;
    my $ring = $rings->[$at];
    my $pole = vertex($point->[0], ($u0 + $u1) / 2, $point->[1], $ring->{bone}, $rings->[$next]{c});
    push @faces, [ $pole, $rows[$at][$_], $rows[$at][ $_ + 1 ] ] for 0 .. $n - 1;
  }
}

# A ring around a vertical axis.
sub across {
  my ($y, $rs, $rf, $bone, $v, %more) = @_;
  return { c => [ $more{x} // 0, $y, $more{z} // 0 ], front => [ 0, 0, 1 ], side => [ 1, 0, 0 ],
           rs => $rs, rf => $rf, bone => $bone, v => $v, shape => $more{shape} };
}

# A ring at `at` around the direction `dir`, its front as near +Z as it can be.
sub around {
  my ($at, $dir, $rs, $rf, $bone, $v) = @_;
  my $d = unit($dir);
  my $side = unit(cross($d, [ 0, 0, 1 ]));
  my $front = unit(cross($side, $d));
  $front = [ map { -$_ } @$front ] if $front->[2] < 0;
  return { c => $at, front => $front, side => $side, rs => $rs, rf => $rf, bone => $bone, v => $v };
}

# Writes the mesh as a .skn: faces turned outwards, normals from the faces
# around each place, vertices grouped by bone in the skeleton's order and
# kept in the space of their bone.
sub write_skn {
  my ($file, $name, $texture) = @_;
  my @normal = map { [ 0, 0, 0 ] } @verts;
  for my $f (@faces) {
    my ($a, $b, $c) = map { $verts[$_]{p} } @$f;
    my $n = cross(sub3($b, $a), sub3($c, $a));
    my $middle = [ map { ($a->[$_] + $b->[$_] + $c->[$_]) / 3 } 0 .. 2 ];
    my $inside = [ map { my $k = $_; ($verts[ $f->[0] ]{inside}[$k] + $verts[ $f->[1] ]{inside}[$k] + $verts[ $f->[2] ]{inside}[$k]) / 3 } 0 .. 2 ];
    if (dot($n, sub3($middle, $inside)) < 0) {
      @$f = @$f[ 0, 2, 1 ];
      $n = [ map { -$_ } @$n ];
    }
    $normal[$_] = add($normal[$_], $n) for @$f;
  }
  # One normal for every vertex at one place (the seams).
  my %at;
  for my $i (0 .. $#verts) {
    my $key = join ' ', map { sprintf '%.4f', $_ } @{ $verts[$i]{p} };
    $at{$key} = add($at{$key} // [ 0, 0, 0 ], $normal[$i]);
  }
  for my $i (0 .. $#verts) {
    $normal[$i] = unit($at{ join ' ', map { sprintf '%.4f', $_ } @{ $verts[$i]{p} } });
  }

  my @bones = sort { $order{$a} <=> $order{$b} } keys %{ { map { $_->{bone} => 1 } @verts } };
  my (@sorted, %newIndex, @bindings);
  for my $b (0 .. $#bones) {
    my $first = @sorted;
    for my $i (0 .. $#verts) {
      next unless $verts[$i]{bone} eq $bones[$b];
      $newIndex{$i} = @sorted;
      push @sorted, $i;
    }
    push @bindings, "$b $first " . (@sorted - $first) . " -1 0";
  }
  open my $out, '>:raw', $file or die "$file: $!";
  my $line = sub { print $out @_, "\r\n" };
  $line->($name);
  $line->($texture);
  $line->(scalar @bones);
  $line->($_) for @bones;
  $line->(scalar @faces);
  $line->(join ' ', map { $newIndex{$_} } @$_) for @faces;
  $line->(scalar @bindings);
  $line->($_) for @bindings;
  $line->(scalar @sorted);
  $line->(sprintf '%.5f %.5f', $verts[$_]{u}, $verts[$_]{v}) for @sorted;
  $line->(0);
  $line->(scalar @sorted);
  for my $i (@sorted) {
    my $local = sub3($verts[$i]{p}, $world{ $verts[$i]{bone} });
    $line->(sprintf '%.5f %.5f %.5f %.5f %.5f %.5f', @$local, @{ $normal[$i] });
  }
  close $out or die "$file: $!";
  my $count = @verts;
  (@verts, @faces) = ();
  return $count;
}

# ---------------------------------------------------------------------------
# The body: a jacket over a torso and two sleeves, trousers, shoes. Texture
# rows: torso 0-143, sleeves 144-175, trousers 176-239, shoes 240-255.
my $row = sub { $_[0] / 256 };
{
  my @torso = (
    [ 4.84, 0.125, 0.125, 'NECK', 0 ],   [ 4.70, 0.14, 0.14, 'NECK', 8 ],
    [ 4.60, 0.30, 0.19, 'NECK', 16 ],    [ 4.49, 0.46, 0.23, 'SPINE2', 28 ],
    [ 4.26, 0.49, 0.26, 'SPINE2', 44 ],  [ 3.96, 0.46, 0.265, 'SPINE1', 64 ],
    [ 3.66, 0.41, 0.25, 'SPINE', 84 ],   [ 3.36, 0.39, 0.235, 'SPINE', 100 ],
    [ 3.08, 0.42, 0.245, 'PELVIS', 114 ], [ 2.82, 0.44, 0.26, 'PELVIS', 128 ],
    [ 2.58, 0.46, 0.275, 'PELVIS', 140 ], [ 2.50, 0.465, 0.28, 'PELVIS', 143 ],
  );
  # Open at the hem, the trousers' tops inside.
  rings(12, 0, 1, [ map { across($_->[0], $_->[1], $_->[2], $_->[3], $row->($_->[4])) } @torso ]);

  for my $side (-1, 1) {
    my $s = $side < 0 ? 'L_' : 'R_';
    my $hip = $world{"${s}LEG"};
    my $ankle = $world{"${s}FOOT"};
    my @leg = (
      [ 2.95, 0.17, "${s}LEG", 176 ], [ 2.40, 0.195, "${s}LEG", 190 ], [ 1.62, 0.15, "${s}LEG1", 208 ],
      [ 1.15, 0.135, "${s}LEG1", 220 ], [ 0.70, 0.13, "${s}LEG1", 230 ], [ 0.26, 0.135, "${s}LEG1", 239 ],
    );
    rings(10, 0, 1, [ map {
      my $t = ($hip->[1] - $_->[0]) / ($hip->[1] - $ankle->[1]);
      my $c = mix($hip, $ankle, $t < 0 ? 0 : $t);
      across($_->[0], $_->[1], $_->[1] * 1.05, $_->[2], $row->($_->[3]), x => $c->[0], z => $c->[2]);
    } @leg ]);

    # The shoe, heel to toe along +Z.
    my $x = $ankle->[0];
    my @shoe = ([ -0.15, 0.085, 0.07, 0.13, 'FOOT' ], [ -0.08, 0.12, 0.12, 0.15, 'FOOT' ],
                [ 0.06, 0.125, 0.12, 0.12, 'FOOT' ], [ 0.20, 0.125, 0.09, 0.09, 'TOE0' ],
                [ 0.32, 0.11, 0.07, 0.07, 'TOE0' ], [ 0.40, 0.07, 0.045, 0.055, 'TOE0' ]);
    my $v = 240;
    rings(7, 0, 1, [ map {
      my $r = { c => [ $x, $_->[3], $ankle->[2] + $_->[0] ], front => [ 0, 1, 0 ], side => [ 1, 0, 0 ],
                rs => $_->[1], rf => $_->[2], bone => $s . $_->[4], v => $row->($v) };
      $v += 3;
      $r;
    } @shoe ], [ [ $x, 0.13, $ankle->[2] - 0.17 ], $row->(240) ], [ [ $x, 0.05, $ankle->[2] + 0.43 ], $row->(255) ]);

    # The sleeve, shoulder to cuff.
    my $shoulder = add($world{"${s}ARM1"}, [ -0.06 * $side, -0.1, 0 ]);
    my $elbow = $world{"${s}ARM2"};
    my $wrist = $world{"${s}HAND"};
    my $upper = sub3($elbow, $shoulder);
    my $lower = sub3($wrist, $elbow);
    my @sleeve = (
      [ $shoulder, $upper, 0.15, "${s}ARM", 144 ], [ add($shoulder, $upper, 0.3), $upper, 0.14, "${s}ARM1", 150 ],
      [ add($shoulder, $upper, 0.7), $upper, 0.125, "${s}ARM1", 156 ],
      [ $elbow, add($upper, $lower), 0.115, "${s}ARM2", 161 ],
      [ add($elbow, $lower, 0.5), $lower, 0.1, "${s}ARM2", 166 ],
      [ add($elbow, $lower, 0.84), $lower, 0.095, "${s}ARM2", 171 ],
      [ add($elbow, $lower, 0.86), $lower, 0.06, "${s}ARM2", 175 ],
    );
    rings(8, 0, 1, [ map { around($_->[0], $_->[1], $_->[2], $_->[2], $_->[3], $row->($_->[4])) } @sleeve ]);
  }
  write_skn("$skins/xskin-B010MAFit_tweed-PELVIS-BODY.skn", 'xskin-B010MAFit_tweed-PELVIS-BODY', 'x');
}

# The hands, from inside the cuff to the finger tips, flat towards the thighs;
# and a watch on the left wrist.
for my $side (-1, 1) {
  my $s = $side < 0 ? 'L_' : 'R_';
  my $wrist = $world{"${s}HAND"};
  my $dir = unit(sub3($world{"${s}FINGER0"}, $world{"${s}ARM2"}));
  my @hand = ([ -0.12, 0.05, 0.055 ], [ 0.0, 0.045, 0.06 ], [ 0.07, 0.05, 0.085 ], [ 0.16, 0.045, 0.085 ],
              [ 0.24, 0.035, 0.07 ], [ 0.29, 0.025, 0.045 ]);
  rings(12, 0, 1, [ map { around(add($wrist, $dir, $_->[0]), $dir, $_->[1], $_->[2], "${s}HAND", 0.5) } @hand ],
        undef, [ add($wrist, $dir, 0.31), 0.5 ]);
  write_skn("$skins/acc-hand-${s}HAND-skin.skn", "acc-hand-${s}HAND-skin", 'acc-hand-skin');
}
{
  my $wrist = $world{L_HAND};
  my $dir = unit(sub3($world{L_FINGER0}, $world{L_ARM2}));
  rings(20, 0, 1, [ map { around(add($wrist, $dir, $_->[0]), $dir, $_->[1], $_->[2], 'L_HAND', $_->[3]) }
                    ([ -0.09, 0.062, 0.068, 0.1 ], [ -0.085, 0.07, 0.076, 0.3 ], [ -0.035, 0.07, 0.076, 0.7 ],
                     [ -0.03, 0.062, 0.068, 0.9 ]) ]);
  write_skn("$skins/acc-watch-L_HAND-gold.skn", 'acc-watch-L_HAND-gold', 'acc-watch-gold');
}

# ---------------------------------------------------------------------------
# The head: 60 rings of 100, crown to neck, with a nose, ears and a chin.
{
  my $cy = 5.27;
  my @rows;
  for my $i (0 .. 59) {
    my $t = $i / 59;
    my ($phi, $y, $rs, $rf, $z);
    my $phiEnd = 0.84 * $pi;
    if ($t <= 0.8) {
      $phi = 0.04 * $pi + ($phiEnd - 0.04 * $pi) * $t / 0.8;
      my $jaw = $phi > 0.6 * $pi ? 1 - 0.22 * ($phi - 0.6 * $pi) / (0.24 * $pi) : 1;
      ($y, $rs, $rf, $z) = ($cy + 0.345 * cos($phi), 0.262 * sin($phi) * $jaw, 0.30 * sin($phi), 0.02);
    } else {
      my $f = ($t - 0.8) / 0.2;
      my $top = $cy + 0.345 * cos($phiEnd);
      ($phi, $y, $rs, $rf, $z) = ($phiEnd, $top + (4.70 - $top) * $f, 0.118 + 0.0 * $f, 0.13 - 0.005 * $f, 0.02 - 0.04 * $f);
      $rs = 0.262 * sin($phiEnd) * 0.78 * (1 - $f) + 0.118 * $f;
    }
    my $p = $phi;
    my $shape = sub {
      my ($q, $theta) = @_;
      my $front = -cos($theta);     # 1 at the face, -1 at the back
      my $d = $theta - $pi;         # 0 at the face
      my $out = [ @$q ];
      # The back of the head fuller than the face.
      $out->[2] -= 0.03 * sin($p) * ($front < 0 ? -$front : 0) if $t <= 0.8;
      # Nose, chin, ears.
      $out->[2] += 0.07 * exp(-(($p - 0.575 * $pi) / (0.05 * $pi))**2) * exp(-($d / 0.1)**2);
      $out->[2] += 0.035 * exp(-(($p - 0.74 * $pi) / (0.06 * $pi))**2) * ($front > 0 ? $front**4 : 0);
      for my $ear ($pi / 2, 3 * $pi / 2) {
        my $w = exp(-(($theta - $ear) / 0.13)**2 - (($p - 0.52 * $pi) / (0.07 * $pi))**2);
        $out->[0] += 0.045 * $w * sin($theta);
      }
      return $out;
    };
    push @rows, { c => [ 0, $y, $z ], front => [ 0, 0, 1 ], side => [ 1, 0, 0 ], rs => $rs, rf => $rf,
                  bone => 'HEAD', v => $t, shape => $t <= 0.8 ? $shape : undef };
  }
  rings(99, 0, 1, \@rows, [ [ 0, $cy + 0.345, 0.02 ], 0 ]);
  write_skn("$skins/xskin-c010ma_walter-HEAD-HEAD.skn", 'xskin-c010ma_walter-HEAD-HEAD', 'x');
}

# A hat: a felt crown pinched at the top and a brim turned up at the edge.
{
  my @crown = ([ 5.81, 0.10, 0.12, 0.0 ], [ 5.79, 0.21, 0.24, 0.1 ], [ 5.73, 0.26, 0.29, 0.2 ],
               [ 5.60, 0.275, 0.305, 0.4 ], [ 5.47, 0.28, 0.31, 0.6 ]);
  rings(24, 0, 1, [ map { across($_->[0], $_->[1], $_->[2], 'HEAD', $_->[3], z => 0.0) } @crown ],
        [ [ 0, 5.765, 0.0 ], 0.0 ]);
  rings(24, 0, 1, [ map { across($_->[0], $_->[1], $_->[2], 'HEAD', $_->[3], z => 0.01) }
                    ([ 5.475, 0.28, 0.31, 0.7 ], [ 5.455, 0.45, 0.49, 0.9 ], [ 5.49, 0.47, 0.51, 1.0 ]) ]);
  write_skn("$skins/acc-hat-HEAD-fedora.skn", 'acc-hat-HEAD-fedora', 'acc-hat-fedora');
}

# ---------------------------------------------------------------------------
# Textures: 8-bit BMPs, a palette of the colours painted and the pixels as
# palette indices, rows stored bottom-up.
sub write_bmp {
  my ($file, $side, $paint) = @_;
  my (%index, @palette, @pixels);
  for my $y (0 .. $side - 1) {
    for my $x (0 .. $side - 1) {
      my $rgb = join ',', map { int($_ < 0 ? 0 : $_ > 255 ? 255 : $_) } $paint->(($x + 0.5) / $side, ($y + 0.5) / $side);
      unless (exists $index{$rgb}) {
        die "$file: more than 256 colours" if @palette == 256;
        $index{$rgb} = @palette;
        push @palette, $rgb;
      }
      push @pixels, $index{$rgb};
    }
  }
  my $rows = '';
  for my $y (reverse 0 .. $side - 1) { $rows .= pack 'C*', @pixels[ $y * $side .. ($y + 1) * $side - 1 ] }
  my $colours = join '', map { my ($r, $g, $b) = split /,/; pack 'CCCC', $b, $g, $r, 0 } @palette;
  $colours .= "\0" x (1024 - length $colours);
  my $offset = 14 + 40 + 1024;
  open my $out, '>:raw', $file or die "$file: $!";
  print $out pack('a2 V v v V', 'BM', $offset + length $rows, 0, 0, $offset),
    pack('V l l v v V V l l V V', 40, $side, $side, 1, 8, 0, length $rows, 2835, 2835, 256, 0), $colours, $rows;
  close $out or die "$file: $!";
}
sub shade { my ($rgb, $k) = @_; return map { $_ * $k } @$rgb }

my %skin = (lgt => [ 238, 196, 166 ], med => [ 196, 142, 104 ], drk => [ 116, 76, 52 ]);
for my $tone (sort keys %skin) {
  my $s = $skin{$tone};
  write_bmp("$skins/B010MAFit${tone}_tweed.bmp", 256, sub {
    my ($u, $v) = @_;
    my $y = $v * 256;
    my $d = abs($u - 0.5);
    # Tweed: navy with a lighter check and a thin rust overcheck.
    my $tweed = sub {
      my ($uu, $yy) = @_;
      my $check = (int($uu * 96) % 6 == 0 || int($yy) % 12 == 0) ? 1.25 : 1;
      return (int($uu * 48) % 12 == 0 || int($yy) % 24 == 3) ? (120, 62, 48) : shade([ 44, 56, 88 ], $check);
    };
    if ($y < 144) {
      return @$s if $y < 3;                                         # neck
      return (242, 242, 238) if $y < 16 && ($d < 0.09 || $y < 9);   # collar
      return shade($s, 0.92) if $y < 16;
      if ($d < 0.075 - 0.075 * ($y - 16) / 60 && $y < 76) {         # shirt and tie in the jacket's V
        return (150, 28, 36) if $d < 0.014 && $y > 18;
        return (240, 240, 236);
      }
      return (20, 22, 30) if $d < 0.008 && $y >= 76;                # the jacket's edge
      return (28, 28, 28) if abs($d - 0.02) < 0.008 && (abs($y - 92) < 3 || abs($y - 112) < 3);
      return (30, 36, 58) if $y > 100 && abs($d - 0.16) < 0.05 && abs($y - 106) < 2;   # pockets
      return $tweed->($u, $y);
    }
    if ($y < 176) {                                                 # sleeves, white shirt cuffs
      return (240, 240, 236) if $y >= 172;
      return $tweed->($u, $y);
    }
    if ($y < 240) {                                                 # charcoal trousers, a crease
      return (70, 72, 78) if $d < 0.01 || abs($d - 0.5) < 0.01;
      return (int($u * 64) % 8 == 0) ? (92, 94, 100) : (80, 82, 88);
    }
    return ($y < 243) ? (40, 28, 20) : ($d < 0.12 && $y > 250) ? (110, 74, 48) : (72, 46, 30);  # shoes
  });
  write_bmp("$skins/C010MA${tone}_walter.bmp", 128, sub {
    my ($u, $v) = @_;
    my $d = $u - 0.5;
    my $a = abs($d);
    my $hair = [ 84, 58, 36 ];
    # Hair above the forehead, at the back and over the ears' tops.
    return @$hair if $v < 0.29 - 0.08 * $a || ($a > 0.26 && $v < 0.56) || ($a > 0.19 && $v < 0.40);
    # Eyebrows, eyes, nose shadow, mouth.
    return shade($hair, 0.8) if abs($v - 0.41) < 0.012 && $a > 0.025 && $a < 0.08;
    if (abs($v - 0.462) < 0.018 && abs($a - 0.052) < 0.026) {
      return (40, 60, 90) if abs($a - 0.052) < 0.008;
      return (250, 250, 246);
    }
    return shade($s, 0.8) if abs($v - 0.585) < 0.01 && $a < 0.02;
    return (164, 74, 70) if abs($v - 0.632) < 0.008 && $a < 0.035;
    return shade($s, 0.9) if $a > 0.22 && $a < 0.28 && abs($v - 0.5) < 0.04;   # ears
    return shade($s, 0.94) if $v > 0.8;                                         # neck
    return @$s;
  });
}
write_bmp("$skins/acc-hand-skin.bmp", 32, sub { @{ $skin{lgt} } });
write_bmp("$skins/acc-watch-gold.bmp", 32, sub { my ($u, $v) = @_; abs($u - 0.5) < 0.06 ? (30, 30, 34) : (214, 170, 70) });
write_bmp("$skins/acc-hat-fedora.bmp", 64, sub {
  my ($u, $v) = @_;
  return (26, 24, 24) if $v > 0.5 && $v < 0.62;            # the band
  return (int($u * 64 + $v * 64) % 5 == 0) ? (78, 74, 70) : (70, 66, 62);
});

# ---------------------------------------------------------------------------
# The suits, and the skeleton in the game's archive.
sub write_suit {
  my ($name, @skins) = @_;
  open my $out, '>:raw', "$skins/$name.cmx" or die "$name: $!";
  print $out join("\r\n", '// Character File. Copyright 1997, Maxis Inc.', 'version 300', 0, 1, $name, 0, 0,
                  scalar(@skins), (map { ($_->[0], $_->[1], 0, 0) } @skins), 0), "\r\n";
  close $out or die "$name: $!";
}
write_suit('B010MAFit_tweed', [ PELVIS => 'xskin-B010MAFit_tweed-PELVIS-BODY' ],
           [ L_HAND => 'acc-hand-L_HAND-skin' ], [ R_HAND => 'acc-hand-R_HAND-skin' ],
           [ L_HAND => 'acc-watch-L_HAND-gold' ]);
write_suit('C010MA_walter', [ HEAD => 'xskin-c010ma_walter-HEAD-HEAD' ], [ HEAD => 'acc-hat-HEAD-fedora' ]);

my $bcf = pack 'V', 1;
my $pascal = sub { pack 'C/a*', $_[0] };
$bcf .= $pascal->('adult') . pack 'V', scalar @skeleton;
for my $bone (@skeleton) {
  my ($name, $parent, @t) = @$bone;
  $bcf .= $pascal->($name) . $pascal->($parent) . pack('V', 0) . pack('f<7', @t, 0, 0, 0, 1) . pack('V3', 1, 1, 1)
        . pack('f<2', 0, 0);
}
$bcf .= pack 'VV', 0, 0;
my $entry = 'adult-skeleton.cmx.bcf';
open my $far, '>:raw', "$game/GameData/Objects.far" or die "Objects.far: $!";
print $far 'FAR!byAZ', pack('VV', 1, 16 + length $bcf), $bcf,
  pack('VVVVV', 1, length $bcf, length $bcf, 16, length $entry), $entry;
close $far or die "Objects.far: $!";
PERL

# Opened from the command line, shown with the head suit beside it (Alt+W
# goes to the choice of a head, Down takes the first), and turned by
# dragging so that its left side, the watch's, comes a little forward.
"$program" "$skins/B010MAFit_tweed.cmx" &
pid=$!
main=$(window "Tailorloft - Version .* - by Quillmoss")
sleep 0.3
click "$main" 196 366                     # Preview
preview=$(window "Preview - B010MAFit_tweed")
sleep 1
xdotool mousemove --window "$preview" 230 250 key alt+w Down
sleep 1
xdotool mousemove --window "$preview" 250 250 mousedown 1 mousemove --window "$preview" 230 250 \
  mousemove --window "$preview" 210 250 mouseup 1
sleep 1
import -window "$preview" "$out/preview.png"
echo "wrote $out/main-window.png, $out/add-accessory.png, $out/about.png and $out/preview.png"
