# The release package: its version, where the zips land and what they hold,
# and the checks of a program and of a built package. Sourced, after TW_ROOT
# is set, by scripts/package (which makes the zips) and scripts/test (which
# checks them); also under `set -euo pipefail`.

# Every zip holds these, at its top level, and nothing else.
TW_PACKAGE_PROGRAMS=(Tracewick.exe conspawn.exe lookup.exe)
TW_PACKAGE_FILES=("${TW_PACKAGE_PROGRAMS[@]}" README.txt LICENSE.txt)
TW_PACKAGE_DIR=$TW_ROOT/build/package

# The DLLs a program may import: the system's own. Everything else is linked
# statically, so that the programs run from any folder with nothing installed.
TW_SYSTEM_DLLS='^(ADVAPI32|COMCTL32|COMDLG32|GDI32|KERNEL32|MSVCRT|OLE32|SHELL32|USER32|VERSION|WINSPOOL\.DRV|WS2_32|IPHLPAPI|DNSAPI)(\.DLL)?$'

# The version, read from the version resource's FILEVERSION (2,0,1,0 gives
# 2.0.1), so that it is written in one place only.
tw_version() {
    local version
    version=$(sed -n 's/^[[:space:]]*FILEVERSION[[:space:]]*\([0-9]\+\),[[:space:]]*\([0-9]\+\),[[:space:]]*\([0-9]\+\),.*/\1.\2.\3/p' \
        "$TW_ROOT/res/tracewick.rc" | head -n 1)
    if [[ -z $version ]]; then
        echo "res/tracewick.rc has no FILEVERSION to take the version from" >&2
        return 1
    fi
    echo "$version"
}

# tw_package_zip ARCH: the zip of win32 or win64.
tw_package_zip() {
    local version
    version=$(tw_version) || return 1
    echo "$TW_PACKAGE_DIR/Tracewick-$version-$1.zip"
}

# tw_system_dlls_only EXE: prints the DLLs EXE imports on one line; fails,
# naming the others, when it imports any DLL that is not the system's.
tw_system_dlls_only() {
    local exe=$1 dump dlls bad
    dump=$(x86_64-w64-mingw32-objdump -p "$exe") || return 1
    dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
    bad=$(tr 'a-z' 'A-Z' <<<"$dlls" | grep -vE "$TW_SYSTEM_DLLS" || true)
    if [[ -n $bad ]]; then
        echo "$exe imports non-system DLLs: $(tr '\n' ' ' <<<"$bad")" >&2
        return 1
    fi
    echo "$exe: $(tr '\n' ' ' <<<"$dlls")"
}

# tw_pe_machine EXE: i386 or x86-64.
tw_pe_machine() {
    x86_64-w64-mingw32-objdump -f "$1" | sed -n 's/.*file format pei-//p'
}

# Text for Windows users: LF line ends become CR LF (ends already CR LF stay).
tw_crlf() { sed 's/\r*$/\r/'; }

# tw_windows_text FILE: fails unless FILE is plain ASCII (tabs allowed) and
# every line, the last one too, ends in CR LF.
tw_windows_text() {
    local file=$1
    if LC_ALL=C grep -q $'[^\t\r -~]' "$file"; then
        echo "$file is not plain ASCII" >&2
        return 1
    fi
    if LC_ALL=C grep -q -e $'\r.' -e $'[^\r]$' -e '^$' "$file" ||
        [[ $(tail -c 2 "$file" | od -An -tx1 | tr -d ' \n') != 0d0a ]]; then
        echo "$file has a line that does not end in CR LF" >&2
        return 1
    fi
}

# Checks the zips that scripts/package makes: the files each holds, the
# machine and imports of its programs, its text files, the size of the
# 32-bit Tracewick.exe, and that the unpacked 64-bit programs start and end
# as they should. Needs Wine up (tw_wine_up) and the win64 tree's uictl.exe.
# Reports every fault it finds, then fails if there was any.
tw_check_package() {
    local faults=0 arch zip want listed unpacked exe machine file size
    if ! "$TW_ROOT/scripts/package"; then
        echo "package: scripts/package failed" >&2
        return 1
    fi
    want=$(printf '%s\n' "${TW_PACKAGE_FILES[@]}" | sort)
    for arch in win32 win64; do
        zip=$(tw_package_zip "$arch") || return 1
        listed=$(unzip -Z1 "$zip" | sort) || { echo "package: cannot read $zip" >&2; return 1; }
        echo "package: $zip is $(stat -c %s "$zip") bytes"
        if [[ $listed != "$want" ]]; then
            echo "package: $zip holds [$(tr '\n' ' ' <<<"$listed")] instead of [$(tr '\n' ' ' <<<"$want")]" >&2
            faults=$((faults + 1))
        fi
        unpacked=$TW_PACKAGE_DIR/check-$arch
        rm -rf "$unpacked"
        unzip -q "$zip" -d "$unpacked" || { echo "package: cannot unpack $zip" >&2; return 1; }
        for exe in "${TW_PACKAGE_PROGRAMS[@]}"; do
            [[ -f $unpacked/$exe ]] || continue   # already reported as missing
            tw_system_dlls_only "$unpacked/$exe" || faults=$((faults + 1))
            machine=$(tw_pe_machine "$unpacked/$exe")
            if [[ $machine != "$([[ $arch == win32 ]] && echo i386 || echo x86-64)" ]]; then
                echo "package: $arch's $exe is for machine '$machine'" >&2
                faults=$((faults + 1))
            fi
        done
        for file in README.txt LICENSE.txt; do
            [[ -f $unpacked/$file ]] || continue
            tw_windows_text "$unpacked/$file" || faults=$((faults + 1))
        done
        if [[ -f $unpacked/Tracewick.exe ]]; then
            size=$(stat -c %s "$unpacked/Tracewick.exe")
            echo "package: $arch Tracewick.exe is $size bytes stripped"
            # The release program must stay small enough to pass around.
            if [[ $arch == win32 && $size -gt 1572864 ]]; then
                echo "package: $arch Tracewick.exe is above 1.5 MB (1572864 bytes)" >&2
                faults=$((faults + 1))
            fi
        fi
    done
    # Wine here runs 64-bit programs only: the win32 programs are checked for
    # their contents, machine and imports above, but not started.
    _tw_package_starts "$TW_PACKAGE_DIR/check-win64" || faults=$((faults + 1))
    ((faults == 0))
}

# The unpacked 64-bit programs start under Wine: Tracewick.exe shows its sheet
# and leaves through Exit with code 0, saving its settings in its working
# directory; conspawn.exe and lookup.exe without arguments print their usage
# and end with their usage code, 2 (spawner/contract.h, lookup/lookup.cpp).
_tw_package_starts() {
    local dir uictl=$TW_ROOT/build/win64/tools/uictl/uictl.exe faults=0
    local workdir=$TW_PACKAGE_DIR/check-workdir app code i program output
    if [[ ! -f $uictl ]]; then
        echo "package: $uictl is not built" >&2
        return 1
    fi
    dir=$(cd "$1" && pwd) || return 1   # the programs start from another folder
    # Leaving writes the settings into the working directory: a scratch one,
    # and not the unpacked folder, so that it proves where they go.
    rm -rf "$workdir"
    mkdir -p "$workdir"
    if [[ -f $dir/Tracewick.exe ]]; then
        # The letter x opens no page and skips the start-up picture.
        (cd "$workdir" && exec wine "$dir/Tracewick.exe" x </dev/null >/dev/null 2>&1) &
        app=$!
        if ! wine "$uictl" wait-sheet 60000 </dev/null >/dev/null 2>&1; then
            echo "package: the unpacked Tracewick.exe showed no sheet" >&2
            faults=$((faults + 1))
        elif ! wine "$uictl" exit 30000 </dev/null >/dev/null 2>&1; then
            echo "package: the unpacked Tracewick.exe did not close through Exit" >&2
            faults=$((faults + 1))
        fi
        for ((i = 0; i < 300; i++)); do
            kill -0 "$app" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$app" 2>/dev/null; then
            echo "package: the unpacked Tracewick.exe was still running after Exit; ended it" >&2
            kill "$app" 2>/dev/null || true
            wait "$app" 2>/dev/null || true
            faults=$((faults + 1))
        else
            code=0
            wait "$app" || code=$?
            if [[ $code -ne 0 ]]; then
                echo "package: the unpacked Tracewick.exe ended with code $code" >&2
                faults=$((faults + 1))
            elif [[ ! -f $workdir/actpage.dat ]]; then
                echo "package: the unpacked Tracewick.exe saved no settings in its working directory" >&2
                faults=$((faults + 1))
            else
                echo "package: the unpacked Tracewick.exe showed its sheet and closed"
            fi
        fi
    fi
    for program in conspawn lookup; do
        [[ -f $dir/$program.exe ]] || continue
        code=0
        output=$(cd "$workdir" && timeout 60 wine "$dir/$program.exe" </dev/null 2>&1) || code=$?
        if [[ $code -ne 2 || $output != *"usage: $program "* ]]; then
            echo "package: the unpacked $program.exe without arguments ended with code $code, saying: $output" >&2
            faults=$((faults + 1))
        else
            echo "package: the unpacked $program.exe gave its usage and code 2"
        fi
    done
    ((faults == 0))
}
