#!/usr/bin/env bash
# Checks the release zip that scripts/package makes from the build trees:
#
#   package_test.sh unsigned SOURCE_DIR VERSION BUILT_EXE BUILT_EXE64 WORK_DIR
#   package_test.sh signed   SOURCE_DIR VERSION BUILT_EXE BUILT_EXE64 WORK_DIR
#                            UIDRIVER64 WINE_RUN
#   package_test.sh signed-32bit-runs SOURCE_DIR VERSION BUILT_EXE BUILT_EXE64
#                            WORK_DIR SIGNED_WORK_DIR UIDRIVER WINE_RUN
#
# BUILT_EXE and BUILT_EXE64 are the 32-bit and the 64-bit quorvel.exe that
# the tests ran, which the zip ships as quorvel.exe and quorvel64.exe.
# unsigned: the zip holds exactly its folder and five files; each exe is its
# built exe, byte for byte and stripped; the texts are what Notepad reads
# (code page 932, CRLF); the checksums hold; a second run, later, gives the
# same bytes.
# signed: with a throwaway self-signed certificate, each packaged exe carries
# a signature that osslsigncode accepts for that certificate and for no other,
# each exe is its built one once the signature is removed, the checksums
# cover the signed exes, and the signed quorvel64.exe still runs under Wine,
# driven by the 64-bit UI driver: it opens its dialog on a target and ends
# when cancelled.
# signed-32bit-runs: the signed quorvel.exe that the signed run left unpacked
# in its WORK_DIR, given here as SIGNED_WORK_DIR, does the same in $WINEPREFIX, driven by the 32-bit UI
# driver. It is a step of its own because it needs 32-bit Wine: where this
# machine cannot run 32-bit code, it runs in the emulated PC, after the
# signed run here (tests/wine registers it).
# The runs under Wine need the prefixes and the display that scripts/test
# provides.
set -u
mode=$1 source_dir=$2 version=$3 built_exe=$4 built_exe64=$5 work=$6
folder=quorvel-$version
# The shipped exes: the name in the zip and the exe the tests ran.
shipped_exes=("quorvel.exe:$built_exe" "quorvel64.exe:$built_exe64")
status=0
fail() {
  echo "FAIL: $*"
  status=1
}

rm -rf "$work"
mkdir -p "$work"

# same_but_checksum A B: whether two PE files are the same bytes but for the
# optional header's CheckSum field.
same_but_checksum() {
  local file copies=() offset
  for file in "$1" "$2"; do
    offset=$(($(od -An -tu4 -j 60 -N 4 "$file") + 24 + 64))
    cp "$file" "$work/checksum-masked-${#copies[@]}"
    printf '\0\0\0\0' | dd of="$work/checksum-masked-${#copies[@]}" bs=1 seek=$offset conv=notrunc status=none
    copies+=("$work/checksum-masked-${#copies[@]}")
  done
  cmp -s "${copies[0]}" "${copies[1]}"
}

# package DIST_DIR LOG [VARIABLE=VALUE...]: runs scripts/package with only the
# signing variables given.
package() {
  local dist=$1 log=$2
  shift 2
  env -u QUORVEL_SIGN_CERT -u QUORVEL_SIGN_KEY -u QUORVEL_SIGN_PASSWORD_FILE \
    -u QUORVEL_SIGN_TIMESTAMP_URL QUORVEL_DIST_DIR="$dist" "$@" \
    "$source_dir/scripts/package" >"$log" 2>&1
}

# unpack ZIP DIR LOG: extracts the zip into DIR; checks the digest printed in LOG and
# that the checksums file covers exactly the other files.
unpack() {
  local zip=$1 dir=$2 log=$3
  local printed
  printed=$(sed -n 's/^package: SHA-256 //p' "$log")
  [ "$printed" = "$(sha256sum "$zip" | cut -d' ' -f1)" ] ||
    fail "the printed SHA-256 ($printed) is not the zip's"
  unzip -q "$zip" -d "$dir" || { fail "cannot unzip $zip"; return; }
  (cd "$dir/$folder" && sha256sum --check --strict --quiet SHA256SUMS.txt) ||
    fail "SHA256SUMS.txt does not match the files beside it"
  [ "$(tr -d '\r' <"$dir/$folder/SHA256SUMS.txt" | awk '{ print $2 }' | tr '\n' ' ')" = \
    "quorvel.exe quorvel64.exe readme.txt LICENSE.txt " ] || fail "SHA256SUMS.txt does not list the four files"
}

check_unsigned() {
  local started=$SECONDS
  # The tests ran the exes as they stand; packaging must not build them anew.
  local shipped built_times=()
  for shipped in "${shipped_exes[@]}"; do
    built_times+=("$(stat -c %y "${shipped#*:}")")
  done
  package "$work/first" "$work/first.log" || {
    cat "$work/first.log"
    fail "scripts/package failed"
    return
  }
  local zip=$work/first/$folder.zip
  [ -f "$zip" ] || { fail "no $folder.zip was written"; cat "$work/first.log"; return; }

  local expected_entries actual_entries
  expected_entries=$(printf '%s\n' "$folder/" "$folder/quorvel.exe" "$folder/quorvel64.exe" \
    "$folder/readme.txt" "$folder/LICENSE.txt" "$folder/SHA256SUMS.txt")
  actual_entries=$(unzip -Z1 "$zip")
  [ "$actual_entries" = "$expected_entries" ] ||
    fail "the zip holds, in this order: $(tr '\n' ' ' <<<"$actual_entries")"

  local dir=$work/unpacked
  unpack "$zip" "$dir" "$work/first.log"
  local i=0 name built
  for shipped in "${shipped_exes[@]}"; do
    name=${shipped%%:*} built=${shipped#*:}
    grep -q "^package: $name UNSIGNED" "$work/first.log" ||
      fail "an unsigned package does not say that $name is unsigned"
    [ "$(stat -c %y "$built")" = "${built_times[i]}" ] || fail "scripts/package built $name again"
    i=$((i + 1))
    cmp -s "$dir/$folder/$name" "$built" || fail "$name is not the built exe $built"
    LC_ALL=C x86_64-w64-mingw32-objdump -t "$dir/$folder/$name" | grep -q '^no symbols$' ||
      fail "$name carries a symbol table"
    if LC_ALL=C x86_64-w64-mingw32-objdump -h "$dir/$folder/$name" | grep -q '\.debug'; then
      fail "$name carries debug sections"
    fi
  done

  local readme=$dir/$folder/readme.txt decoded
  if ! decoded=$(iconv -f CP932 -t UTF-8 "$readme"); then
    fail "readme.txt is not code page 932"
  fi
  # Every line ends in CR LF, the last one too, and no CR stands alone.
  local lines crlf_lines
  lines=$(LC_ALL=C grep -c '' "$readme")
  crlf_lines=$(LC_ALL=C grep -c $'\r$' "$readme")
  [ "$lines" -gt 0 ] && [ "$lines" = "$crlf_lines" ] ||
    fail "readme.txt: only $crlf_lines of its $lines lines end in CR LF"
  [ "$(tail -c 2 "$readme" | od -An -tx1 | tr -d ' \n')" = 0d0a ] ||
    fail "readme.txt does not end with CR LF"
  LC_ALL=C sed 's/\r$//' "$readme" | LC_ALL=C grep -q $'\r' &&
    fail "readme.txt holds a CR that ends no line"
  for word in 使い方 動作環境 cacls "Quorvel $version" quorvel64.exe システムの種類; do
    grep -qF "$word" <<<"$decoded" || fail "readme.txt does not mention $word"
  done
  # Nothing of the source is lost on the way to code page 932.
  [ "$(tr -d '\r' <<<"$decoded")" = "$(cat "$source_dir/package/readme.txt")" ] ||
    fail "readme.txt does not read as package/readme.txt"

  sed 's/$/\r/' "$source_dir/LICENSE" | cmp -s - "$dir/$folder/LICENSE.txt" ||
    fail "LICENSE.txt is not LICENSE with CR LF line ends"

  # The zip's times have a resolution of 2 s: a second run at least that
  # much later would show any time taken from the clock.
  local waited=$((SECONDS - started))
  [ "$waited" -lt 3 ] && sleep $((3 - waited))
  package "$work/second" "$work/second.log" || {
    cat "$work/second.log"
    fail "the second run of scripts/package failed"
    return
  }
  cmp -s "$zip" "$work/second/$folder.zip" || fail "two packaging runs gave different zips"
}

check_signed() {
  local certs=$work/certs
  mkdir -p "$certs"
  for name in signer stranger; do
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Quorvel test $name" \
      -addext keyUsage=critical,digitalSignature -addext extendedKeyUsage=codeSigning \
      -keyout "$certs/$name.key" -out "$certs/$name.pem" >/dev/null 2>&1 ||
      { fail "openssl could not make the $name certificate"; return; }
  done

  if package "$work/half" "$work/half.log" QUORVEL_SIGN_CERT="$certs/signer.pem"; then
    fail "a certificate without its key was accepted"
  fi
  [ -e "$work/half/$folder.zip" ] && fail "a certificate without its key still gave a zip"

  package "$work/dist" "$work/sign.log" QUORVEL_SIGN_CERT="$certs/signer.pem" \
    QUORVEL_SIGN_KEY="$certs/signer.key" || {
    cat "$work/sign.log"
    fail "scripts/package failed to sign"
    return
  }
  local dir=$work/unpacked
  unpack "$work/dist/$folder.zip" "$dir" "$work/sign.log"
  local shipped name built exe
  for shipped in "${shipped_exes[@]}"; do
    name=${shipped%%:*} built=${shipped#*:} exe=$dir/$folder/${shipped%%:*}
    grep -q "^package: $name signed" "$work/sign.log" || fail "the package does not say that $name is signed"
    cmp -s "$exe" "$built" && fail "the packaged $name is the unsigned one"
    osslsigncode verify -CAfile "$certs/signer.pem" -in "$exe" >"$work/verify.log" 2>&1 || {
      cat "$work/verify.log"
      fail "osslsigncode does not accept the signature of $name"
    }
    if osslsigncode verify -CAfile "$certs/stranger.pem" -in "$exe" >"$work/stranger.log" 2>&1; then
      fail "osslsigncode accepts the signature of $name for another certificate"
    fi
    # Signing only appended the signature and filled in the header's
    # checksum, which the signature does not cover (lld, which links the
    # 64-bit exe, leaves it zero): without them, the exe is the one the tests
    # ran.
    osslsigncode remove-signature -in "$exe" -out "$work/unsigned-$name" >/dev/null 2>&1 &&
      same_but_checksum "$work/unsigned-$name" "$built" ||
      fail "the signed $name without its signature is not the built exe"
  done

  # The signed 64-bit exe must still run, in a 64-bit prefix: the build's
  # own where the 64-bit build's tests run here, else the one the 32-bit
  # build's tests use for WOW64. The signed 32-bit exe is started by the
  # signed-32bit-runs step, wherever 32-bit Wine runs.
  local uidriver64=$7 wine_run=$8
  run_signed "$work/unpacked/$folder/quorvel64.exe" "$uidriver64" \
    "${QUORVEL_WINEPREFIX64:-$WINEPREFIX}" "$wine_run" "$work"
}

check_signed_32bit_runs() {
  local signed_work=$7 uidriver=$8 wine_run=$9
  local zip=$signed_work/dist/$folder.zip exe=$signed_work/unpacked/$folder/quorvel.exe
  # Only a zip signed since the exe was built holds that exe.
  if [ ! -f "$zip" ] || [ ! -f "$exe" ] || [ ! "$zip" -nt "$built_exe" ]; then
    fail "no signed zip of the built quorvel.exe in $signed_work: package.signed makes it first"
    return
  fi
  run_signed "$exe" "$uidriver" "$WINEPREFIX" "$wine_run" "$work"
}

# run_signed EXE UIDRIVER PREFIX WINE_RUN SCRATCH: the unpacked signed EXE
# opens its dialog on a target and ends when cancelled, in the Wine prefix
# PREFIX; the target and the driver's files go into SCRATCH.
run_signed() {
  local exe=$1 uidriver=$2 prefix=$3 wine_run=$4 scratch=$5
  local name target=$scratch/target title code
  name=$(basename "$exe")
  mkdir -p "$target"
  # winepath may be the first Wine program of the prefix's session: the
  # services it starts outlive it and hold its output, which must therefore
  # be a file and not ctest's pipe.
  local windows_exe windows_target
  WINEPREFIX=$prefix winepath -w "$exe" "$target" >"$scratch/winepath.out" 2>&1 </dev/null
  { read -r windows_exe && read -r windows_target; } <"$scratch/winepath.out"
  title=$(WINEPREFIX=$prefix "$wine_run" "$uidriver" open-and-cancel "$windows_exe" "$windows_target")
  code=$?
  # The driver's C runtime ends its lines with CR LF.
  title=${title%$'\r'}
  if [ "$code" != 0 ]; then
    fail "the signed $name did not open its dialog and end when cancelled (exit $code)"
  elif [ "$title" != "$windows_target - Quorvel" ]; then
    fail "the signed $name's dialog is titled '$title'"
  fi
}

case $mode in
  unsigned) check_unsigned ;;
  signed) check_signed "$@" ;;
  signed-32bit-runs) check_signed_32bit_runs "$@" ;;
  *) echo "usage: package_test.sh {unsigned | signed | signed-32bit-runs} ..." >&2; exit 2 ;;
esac
[ $status = 0 ] && echo "ok"
exit $status
