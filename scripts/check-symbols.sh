#!/usr/bin/env bash
# Compares the symbols the dialogs library exports with the list kept in the repository, so that
# a change of the library's interface is always a deliberate one.
#   scripts/check-symbols.sh LIB            fails and shows the difference if they differ
#   scripts/check-symbols.sh --update LIB   writes the library's symbols into the list
set -euo pipefail

list="$(cd "$(dirname "$0")/.." && pwd)/src/qmsdkdialogs_io_qt.symbols"
update=false
if [ "${1:-}" = "--update" ]; then
    update=true
    shift
fi
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "usage: $0 [--update] path/to/libqmsdkdialogs_io_qt.so" >&2
    exit 2
fi
lib=$1

# What the version script lets out: the functions, vtables, type information and thunks of
# qelmar::dialogs. Anything else in the dynamic table is the linker's own.
exported_symbols() {
    nm -D --defined-only "$lib" | awk '{ print $NF }' | grep -E '^_Z(N|NK|TV|TI|TS|Th|Tv).*6qelmar7dialogs' |
        LC_ALL=C sort -u
}

if $update; then
    exported_symbols >"$list"
    echo "Wrote $(wc -l <"$list") symbols of $lib to $list"
    exit 0
fi

actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
exported_symbols >"$actual"
if diff -q "$list" "$actual" >/dev/null; then
    echo "The exported symbols of $lib match $list ($(wc -l <"$list") symbols)."
    exit 0
fi

echo "The exported symbols of $lib differ from $list:"
echo "(- no longer exported, + newly exported)"
diff "$list" "$actual" | sed -n 's/^< /- /p; s/^> /+ /p' | while read -r sign symbol; do
    echo "$sign $symbol"
    echo "      $(echo "$symbol" | c++filt)"
done
echo
echo "If the change of the interface is deliberate, update the list and commit it with the change:"
echo "    scripts/check-symbols.sh --update $lib"
exit 1
