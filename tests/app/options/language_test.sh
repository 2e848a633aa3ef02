#!/bin/sh
# The language the game speaks, by the desktop's locale, the settings file and
# --language. Each row: the language the help must come out in, the
# environment, the options. The help is printed in the game's language.
game=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/en/quillot"
printf '[general]\nlanguage=en\n' >"$home/en/quillot/quillot.conf"
fail=0
while IFS='|' read -r want environment options; do
  # shellcheck disable=SC2086  # the rows are split into words on purpose
  first=$(env -i PATH="$PATH" XDG_CONFIG_HOME="$home" XDG_DATA_HOME="$home/data" $environment \
    "$game" --help $options | head -n 1)
  case "$first" in
    Usage:*) got=en ;;
    使い方:*) got=ja ;;
    *) got="nothing readable: $first" ;;
  esac
  if [ "$got" != "$want" ]; then
    echo "FAIL: $environment $options gave $got, not $want"
    fail=1
  fi
done <<'TABLE'
ja|LANG=ja_JP.UTF-8|
en|LANG=en_GB.UTF-8|
en|LANG=fr_FR.UTF-8|
ja|LANG=C|
ja|LANG=C.UTF-8|
ja|LANG=C.UTF-8 LANGUAGE=ja:en|
ja|LANG=en_US.UTF-8 LANGUAGE=ja:en|
ja|LANG=ja_JP.UTF-8 LC_MESSAGES=C|
en|LANG=fr_FR.UTF-8 LANGUAGE=de:ja|
en|LANG=ja_JP.UTF-8|--language en
ja|LANG=en_GB.UTF-8|--language ja
TABLE
# The settings file's choice beats the desktop, and --language beats both.
for row in "en|" "ja|--language ja"; do
  want=${row%%|*}
  first=$(env -i PATH="$PATH" XDG_CONFIG_HOME="$home/en" LANG=ja_JP.UTF-8 "$game" --help ${row#*|} | head -n 1)
  case "$first" in Usage:*) got=en ;; 使い方:*) got=ja ;; *) got=none ;; esac
  [ "$got" = "$want" ] || { echo "FAIL: settings language=en with '${row#*|}' gave $got, not $want"; fail=1; }
done
exit $fail
