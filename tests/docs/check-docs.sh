#!/usr/bin/env bash
# The documentation that ships with the programs, checked against orven-cli itself.
#
#   check-docs.sh pages ORVEN_CLI PAGE...       each page renders without a warning;
#                                               orven-cli.1 names every command and option
#                                               that the --help texts print
#   check-docs.sh completion ORVEN_CLI SCRIPT   the completion loads, completes commands,
#                                               types, fixed values and file names, and
#                                               offers every option that --help prints
#   check-docs.sh install CMAKE BUILD           `cmake --install` into a fresh prefix puts
#                                               the pages and the completion where man and
#                                               bash use them; the desktop entry and the
#                                               AppStream metadata validate
#   check-docs.sh installed PREFIX              the same checks of an installation (the
#                                               Debian package's, under /usr)
#   check-docs.sh parallel ORVEN_CLI README     the README's many-machine command, run with
#                                               this machine as its only host, gives the
#                                               outputs of single runs (status 77, skipped,
#                                               without GNU parallel)
# Exit status 0: all passed.
set -euo pipefail
export LC_ALL=C.UTF-8

# Documented before --help prints them: the batch mode's options.
batch_options=(--to -j --jobs)

passed=0
failed=0
check() {  # check NAME COMMAND...
  local name=$1
  shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

commands() {  # the command names under "Commands:" in orven-cli --help
  "$1" --help | awk '/^Commands:/ { on = 1; next } /^$/ { on = 0 } on { print $1 }'
}
options_of() {  # the options that `orven-cli [COMMAND] --help` prints
  "$@" --help | grep -oE '(^|[][ ,|(])--?[A-Za-z][A-Za-z0-9-]*' | sed 's/^[^-]*//' | sort -u
}

renders_cleanly() {  # a page (plain or gzipped) through man as lintian runs it, all warnings on
  local warnings
  warnings=$(man --warnings=w -E UTF-8 -l -Tutf8 -Z "$1" 2>&1 >/dev/null) || return 1
  [ -z "$warnings" ] || { printf '%s\n' "$warnings"; return 1; }
}

page_names() {  # page_names TEXT WORD: WORD stands in the page's TEXT as a whole word
  grep -qE -- "(^|[^A-Za-z0-9-])$2([^A-Za-z0-9-]|$)" <<<"$1"
}

check_pages() {
  local cli=$1 page text cmd opt
  shift
  for page in "$@"; do
    check "$(basename "$page") renders without warnings" renders_cleanly "$page"
    [ "$(basename "$page")" = orven-cli.1 ] || continue
    text=$(sed 's/\\-/-/g; s/\\%//g; s/\\f[BIRP]//g' "$page")  # the roff source as typed
    for cmd in $(commands "$cli"); do
      check "orven-cli.1 has $cmd in its synopsis" grep -qx ".B $cmd" "$page"
      for opt in $(options_of "$cli" "$cmd"); do
        check "orven-cli.1 names $cmd $opt" page_names "$text" "$opt"
      done
    done
    for opt in $(options_of "$cli") "${batch_options[@]}"; do
      check "orven-cli.1 names $opt" page_names "$text" "$opt"
    done
  done
}

complete_words() {  # complete_words SCRIPT WORD...: what the completion offers for the last WORD
  bash --norc --noprofile -c '
    source "$1" || exit 1
    shift
    COMP_WORDS=(orven-cli "$@")
    COMP_CWORD=$#
    _orven_cli
    printf "%s\n" "${COMPREPLY[@]}"' bash "$@"
}
completes_to() {  # completes_to SCRIPT EXPECTED WORD...: EXPECTED is the sorted offer, one line
  local script=$1 expected=$2 got
  shift 2
  got=$(complete_words "$script" "$@" | sort | paste -sd ' ')
  [ "$got" = "$expected" ] || { echo "orven-cli $* -> '$got', wanted '$expected'"; return 1; }
}
offers_all() {  # offers_all SCRIPT WORD... -- OFFER...: the last WORD is being completed
  local script=$1 words=() offer offered
  shift
  while [ "$1" != -- ]; do words+=("$1"); shift; done
  shift
  offered=$(complete_words "$script" "${words[@]}")
  for offer in "$@"; do
    grep -qx -- "$offer" <<<"$offered" || { echo "orven-cli ${words[*]} does not offer $offer"; return 1; }
  done
}
loads_cleanly() {
  local errors
  errors=$(bash --norc --noprofile -c 'source "$1" && complete -p orven-cli' bash "$1" 2>&1) || return 1
  [ "$errors" = "complete -F _orven_cli orven-cli" ] || { printf '%s\n' "$errors"; return 1; }
}

check_completion() {
  local cli=$1 script=$2 cmd work
  check "the completion loads and registers itself" loads_cleanly "$script"
  check "a command" completes_to "$script" convert co
  check "a conversion type" completes_to "$script" tag-delete convert t
  check "a type after an option and its value" completes_to "$script" tag-delete convert --kana no t
  check "a fixed value" completes_to "$script" "nobr pre" convert --layout ""
  check "a fixed value after =" completes_to "$script" no convert --kana = n
  work=$(mktemp -d)
  mkdir "$work/dir"
  : >"$work/dfile"
  check "--to offers folders only" completes_to "$script" "$work/dir" convert tag-delete --to "$work/d"
  check "INPUT offers files" completes_to "$script" "$work/dfile $work/dir" convert tag-delete "$work/d"
  check "no file for a PATTERN" completes_to "$script" "" match "$work/d"
  rm -rf "$work"
  check "every command is offered" offers_all "$script" "" -- $(commands "$cli") --help --version
  for cmd in $(commands "$cli"); do
    local extra=()
    [ "$cmd" = convert ] && extra=("${batch_options[@]}")
    check "every option of $cmd is offered" offers_all "$script" "$cmd" - -- \
      $(options_of "$cli" "$cmd") "${extra[@]}"
  done
}

check_installed() {
  local prefix=$1 page
  check "orven-cli.1 is installed" [ -f "$prefix/share/man/man1/orven-cli.1.gz" ]
  if [ -x "$prefix/bin/orven" ]; then
    check "orven.1 is installed beside the window program" [ -f "$prefix/share/man/man1/orven.1.gz" ]
    local entry=$prefix/share/applications/orven.desktop
    local metainfo=$prefix/share/metainfo/example.orven.Orven.metainfo.xml
    check "the desktop entry validates" desktop-file-validate "$entry"
    check "the AppStream metadata validates" appstreamcli validate --no-net "$metainfo"
    check "the AppStream metadata launches the desktop entry" \
      grep -q "<launchable type=\"desktop-id\">$(basename "$entry")</launchable>" "$metainfo"
  fi
  for page in "$prefix"/share/man/man1/orven*.1.gz; do
    check "installed $(basename "$page") renders without warnings" renders_cleanly "$page"
  done
  local script=$prefix/share/bash-completion/completions/orven-cli
  check "the completion is installed" [ -f "$script" ]
  check "the installed completion works" completes_to "$script" tag-delete convert t
  check "the copyright file is installed" grep -q '^License: Expat' "$prefix/share/doc/orven/copyright"
  check "the changelog is installed" gzip -t "$prefix/share/doc/orven/changelog.gz"
}

check_install() {
  local cmake=$1 build=$2 prefix
  prefix=$(mktemp -d)
  trap 'rm -rf "$prefix"' RETURN
  "$cmake" --install "$build" --prefix "$prefix" >/dev/null
  check_installed "$prefix"
}

readme_section() {  # readme_section README TITLE: the indented command lines of a section
  awk -v title="## $2" '$0 == title { on = 1; next } /^## / { on = 0 } on && /^    / { print }' "$1" |
    sed 's/^    //; :join /\\$/ { N; s/\\\n *//; b join }'
}

check_parallel() {
  local cli=$1 readme=$2 command work page
  command -v parallel >/dev/null || { echo "GNU parallel is not installed: skipped"; exit 77; }
  command=$(readme_section "$readme" "Many machines" | grep '^parallel ')
  check "the README has a parallel command" [ -n "$command" ]
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN
  mkdir -p "$work/pages" "$work/single" "$work/home/.parallel" "$work/bin"
  : >"$work/home/.parallel/will-cite"
  ln -s "$(realpath "$cli")" "$work/bin/orven-cli"
  printf '<P>%s</P>\r\n' "ページ $RANDOM" | iconv -f UTF-8 -t CP932 >"$work/pages/a.htm"
  printf '<B>ＥＵＣ</B>\n<I\nx>y\n' | iconv -f UTF-8 -t EUC-JP >"$work/pages/b c.htm"
  printf '\x1b$B$\"\x1b(B &amp; <BR>\r\n' >"$work/pages/jis.htm"
  for page in "$work"/pages/*.htm; do
    "$cli" convert tag-delete "$page" "$work/single/$(basename "${page%.htm}").txt" 2>/dev/null
  done
  check "the command runs with this machine as its only host" \
    env -C "$work" HOME="$work/home" PATH="$work/bin:$PATH" \
    bash -c "${command/--sshlogin host1,host2/--sshlogin :}" 2>/dev/null
  for page in "$work"/single/*.txt; do
    check "$(basename "$page") equals a single run's output" \
      cmp "$page" "$work/pages/$(basename "$page")"
  done
}

mode=$1
shift
case $mode in
  pages) check_pages "$@" ;;
  completion) check_completion "$@" ;;
  install) check_install "$@" ;;
  installed) check_installed "$@" ;;
  parallel) check_parallel "$@" ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac
finish
