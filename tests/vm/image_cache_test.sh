#!/usr/bin/env bash
# The emulated PC's image cache (scripts/lib/vm.sh), with the costly parts
# stood in for: a make-disk that writes three small files and a first boot
# that boots nothing. An image is reused only while its recipe is unchanged
# and its files are as its build left them; anything else is built again,
# and a build that fails or lacks room leaves no image behind.
#
#   image_cache_test.sh SOURCE_DIR WORK_DIR
set -uo pipefail
source_dir=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
status=0
fail() {
  echo "FAIL: $*"
  status=1
}

# A project of its own: the real cache logic and prefix set-up, a recipe
# whose make-disk is a stand-in that counts its runs.
project=$work/project
mkdir -p "$project/scripts/lib" "$project/vm/image"
cp "$source_dir/scripts/lib/vm.sh" "$source_dir/scripts/lib/wine-env.sh" "$project/scripts/lib/"
cp "$source_dir/vm/image/packages" "$project/vm/image/"
cat >"$project/vm/image/make-disk" <<'STANDIN'
#!/usr/bin/env bash
echo built >>"$QUORVEL_TEST_LOG"
[ -n "${QUORVEL_TEST_MAKE_DISK_FAILS:-}" ] && exit 1
mkdir -p "$1"
echo kernel >"$1/vmlinuz"
echo initrd >"$1/initrd.img"
truncate -s 1M "$1/root.img"
STANDIN
chmod +x "$project/vm/image/make-disk"
export QUORVEL_VM_CACHE=$work/cache QUORVEL_TEST_LOG=$work/builds.log
: >"$QUORVEL_TEST_LOG"

# image: a run of quorvel_vm_image in a fresh shell, the first boot stood in
# for; prints the folder it gave, or "refused".
image() {
  (
    . "$project/scripts/lib/vm.sh"
    quorvel_vm_boot() { [ -z "${QUORVEL_TEST_BOOT_FAILS:-}" ]; }
    quorvel_vm_image 2>"$work/stderr.log" || echo refused
  )
}
builds() { wc -l <"$QUORVEL_TEST_LOG"; }
sound() { (. "$project/scripts/lib/vm.sh" && quorvel_vm_image_is_sound "$1"); }

first=$(image)
[ "$(builds)" = 1 ] || fail "the first use did not build the image once ($(builds) builds)"
[ -d "$first" ] && sound "$first" || fail "the first build gave no sound image: '$first'"
[ -z "$(ls -d "$QUORVEL_VM_CACHE"/*.building 2>/dev/null)" ] || fail "a finished build left its .building folder"

again=$(image)
[ "$again" = "$first" ] && [ "$(builds)" = 1 ] || fail "an unchanged recipe built the image again"

# Each way an image can be broken: it is never used, but built again.
while read -r what change; do
  eval "$change"
  sound "$first" && fail "an image with $what counts as sound"
  rebuilt=$(image)
  [ "$rebuilt" = "$first" ] && sound "$rebuilt" || fail "an image with $what was not built again"
done <<'CASES'
a_root_disk_written_to        echo x >>"$first/root.img"
a_truncated_initramfs         : >"$first/initrd.img"
no_mark_of_a_finished_build   rm "$first/image.ok"
a_missing_kernel              rm "$first/vmlinuz"
CASES
[ "$(builds)" = 5 ] || fail "four broken images took $(($(builds) - 1)) builds, not 4"

# A changed recipe makes a new image and removes the old one.
echo "# changed" >>"$project/vm/image/packages"
changed=$(image)
[ "$changed" != "$first" ] && sound "$changed" || fail "a changed recipe did not build a new image"
[ ! -e "$first" ] || fail "the old recipe's image was kept"
echo "# changed" >>"$project/scripts/lib/wine-env.sh"
[ "$(image)" != "$changed" ] || fail "a changed prefix set-up did not build a new image"

# Failed builds and too little room leave no image to be used.
echo "# again" >>"$project/vm/image/packages"
[ "$(QUORVEL_TEST_MAKE_DISK_FAILS=1 image)" = refused ] || fail "a failed make-disk gave an image"
[ "$(QUORVEL_TEST_BOOT_FAILS=1 image)" = refused ] || fail "a failed first boot gave an image"
[ -z "$(find "$QUORVEL_VM_CACHE" -name image.ok -newer "$project/vm/image/packages")" ] ||
  fail "a failed build left an image marked finished"
count=$(builds)
refusal=$(
  . "$project/scripts/lib/vm.sh"
  quorvel_vm_boot() { true; }
  quorvel_vm_needed_gib=1000000
  quorvel_vm_image 2>&1 >/dev/null && echo "built"
)
case $refusal in
  *"needs about 1000000 GiB free in $QUORVEL_VM_CACHE"*"GiB are free there"*) ;;
  *) fail "too little room was not said plainly: '$refusal'" ;;
esac
[ "$(builds)" = "$count" ] || fail "a build started without room for it"

[ $status = 0 ] && echo "ok"
exit $status
