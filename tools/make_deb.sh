#!/usr/bin/env bash
# Builds the game's Debian package into build/deb/.
#
# The package is built by debhelper from debian/: it strips the program into a
# -dbgsym package, compresses the manual page and the changelog, installs the
# copyright file and computes the library dependencies (shlibdeps), all the
# way Debian's own packages are made and lintian expects.
#
# The version has one home, project(quillot VERSION ...) in CMakeLists.txt:
# debian/changelog is written from it (and from QUILLOT_RELEASE_DATE) into the
# copy of the source that is built, so the package, --version and the AppStream
# release never disagree.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install_deps.sh
tools/install_deps.sh --package

version=$(sed -n 's/^project(quillot VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
release_date=$(sed -n 's/^set(QUILLOT_RELEASE_DATE \([0-9-]*\))/\1/p' CMakeLists.txt)
[ -n "$version" ] && [ -n "$release_date" ] || { echo "make_deb: no version in CMakeLists.txt" >&2; exit 1; }
maintainer=$(sed -n 's/^Maintainer: //p' debian/control)

out=build/deb
src=$out/quillot-$version
rm -rf "$out"
mkdir -p "$src"
# The files of the source tree as they stand (committed or not), without builds.
if git rev-parse --git-dir >/dev/null 2>&1; then
  git ls-files -z --cached --others --exclude-standard |
    tar --null --files-from=- --ignore-failed-read -cf - | tar -xf - -C "$src"
else
  tar --exclude='./build*' -cf - . | tar -xf - -C "$src"
fi

cat >"$src/debian/changelog" <<CHANGES
quillot ($version) unstable; urgency=medium

  * QUILLOT $version.

 -- $maintainer  $(LC_ALL=C date -u -R -d "$release_date")
CHANGES

# A fixed build date makes the same source give the same package.
export SOURCE_DATE_EPOCH=$(date -u -d "$release_date" +%s)
(cd "$src" && dpkg-buildpackage -b -us -uc) >"$out/build.log" 2>&1 || {
  tail -40 "$out/build.log" >&2
  echo "make_deb: the build failed; see $out/build.log" >&2
  exit 1
}
ls "$out"/*.deb
