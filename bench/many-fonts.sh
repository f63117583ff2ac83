#!/usr/bin/env bash
# A large font set where only a benchmark looks: Debian's Noto fonts (about
# two thousand faces), unpacked under DIR from their packages, never
# installed, and a fontconfig file that adds them to the machine's own.
# Prints that file's path: with FONTCONFIG_FILE set to it, a program (Wine
# among them) sees the machine's fonts and these. The user's font folders
# and the machine's are left as they are.
#   many-fonts.sh DIR
set -euo pipefail
mkdir -p "$1"
dir=$(cd "$1" && pwd)
packages=(fonts-noto-core fonts-noto-extra)
if [[ ! -f $dir/fonts.conf ]]; then
  rm -rf "$dir/debs" "$dir/fonts" "$dir/cache"
  mkdir -p "$dir/debs" "$dir/fonts" "$dir/cache"
  # As root, apt would hand the download to its own user, who may not
  # write here.
  sandbox=()
  [[ $EUID == 0 ]] && sandbox=(-o APT::Sandbox::User=root)
  (cd "$dir/debs" && apt-get download "${sandbox[@]}" "${packages[@]}") >&2
  for deb in "$dir"/debs/*.deb; do dpkg-deb -x "$deb" "$dir/fonts"; done
  rm -rf "$dir/debs"
  # The set's cache first, so that fontconfig writes there and not into
  # the machine's or the user's cache.
  cat >"$dir/fonts.conf.new" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <cachedir>$dir/cache</cachedir>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <dir>$dir/fonts</dir>
</fontconfig>
CONF
  FONTCONFIG_FILE=$dir/fonts.conf.new fc-cache "$dir/fonts" >&2
  mv "$dir/fonts.conf.new" "$dir/fonts.conf"
fi
echo "$dir/fonts.conf"
