# The emulated PC: a full-system QEMU (software emulation, no KVM needed)
# booting Debian's own amd64 kernel, which runs 32-bit programs where this
# machine's kernel may not. In it, 32-bit Wine runs the shipped 32-bit
# program in a 32-bit prefix and under WOW64 in a 64-bit one. Source this
# file; it defines functions and sets nothing else. scripts/vm is its door
# for people, scripts/test for the tests.
#
# The image (kernel, initramfs, root disk with both prefixes made) is built
# by vm/image/make-disk and a first boot, cached outside the project folder
# under a key of its recipe, and used only when complete and intact. Every
# boot leaves it unchanged (QEMU's snapshot), has no network, runs under a
# time limit and always powers off; the project folder is shared at the same
# path as here.

quorvel_vm_project=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# The image's room on disk: about 4.5 GB once built, more while building.
quorvel_vm_needed_gib=8

# quorvel_vm_cache: the folder that holds the cached images.
quorvel_vm_cache() {
  echo "${QUORVEL_VM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quorvel-vm}"
}

# quorvel_vm_image_key: a digest of everything the image is made from: the
# recipe in vm/image and the prefix set-up in scripts/lib/wine-env.sh.
quorvel_vm_image_key() {
  (
    cd "$quorvel_vm_project"
    for file in $(find vm/image -type f | LC_ALL=C sort) scripts/lib/wine-env.sh; do
      echo "$file"
      cat "$file"
    done
  ) | sha256sum | cut -c1-16
}

# quorvel_vm_describe_image DIR: what a sound image holds, one line a file:
# the small files' digests and the root disk's size and time, which any
# write to it changes.
quorvel_vm_describe_image() {
  local dir=$1
  (cd "$dir" && sha256sum vmlinuz initrd.img && stat -c 'root.img %s %Y' root.img) 2>/dev/null
}

# quorvel_vm_image_is_sound DIR: true when DIR holds a complete image that
# is as its build left it.
quorvel_vm_image_is_sound() {
  local dir=$1
  [ -f "$dir/image.ok" ] && [ "$(quorvel_vm_describe_image "$dir")" = "$(cat "$dir/image.ok")" ]
}

# quorvel_vm_check_room DIR: refuses, saying so plainly, when the file system
# of DIR has too little free room to build an image.
quorvel_vm_check_room() {
  local dir=$1 free_kib
  free_kib=$(df -Pk "$dir" | awk 'NR == 2 { print $4 }')
  if [ "$free_kib" -lt $((quorvel_vm_needed_gib * 1024 * 1024)) ]; then
    echo "vm: building the emulated PC's image needs about $quorvel_vm_needed_gib GiB free in $dir," \
      "but only $((free_kib / 1024 / 1024)) GiB are free there. Free some room, or set" \
      "QUORVEL_VM_CACHE to a folder on a larger file system." >&2
    return 1
  fi
}

# quorvel_vm_image: prints the folder of a sound image for the current
# recipe, building it first when there is none (a few minutes; needs root and
# the network). A broken or half-built image is never used: it is removed and
# built again. Images of other recipes are removed once the new one is built.
quorvel_vm_image() {
  local cache key dir
  cache=$(quorvel_vm_cache)
  key=$(quorvel_vm_image_key)
  dir=$cache/$key
  mkdir -p "$cache"
  (
    # One builder at a time; a second caller waits and then finds it built.
    flock 9
    if quorvel_vm_image_is_sound "$dir"; then
      exit 0
    fi
    if [ -e "$dir" ]; then
      echo "vm: the image in $dir is incomplete or was changed; building it again" >&2
      rm -rf "$dir"
    fi
    quorvel_vm_check_room "$cache" || exit 1
    local building=$dir.building started=$SECONDS
    rm -rf "$cache"/*.building
    echo "vm: building the emulated PC's image in $dir (a few minutes)" >&2
    if ! quorvel_vm_as_root "$quorvel_vm_project/vm/image/make-disk" "$building" >&2; then
      echo "vm: making the image failed; what was made is in $building" >&2
      exit 1
    fi
    echo "vm: first boot: configuring what needs the emulated PC, making the Wine prefixes" >&2
    if ! QUORVEL_VM_WRITABLE=1 quorvel_vm_boot "$building" 1800 run -- \
      bash "$quorvel_vm_project/vm/image/first-boot" >&2; then
      echo "vm: the first boot failed; the image in $building is not used" >&2
      exit 1
    fi
    quorvel_vm_describe_image "$building" >"$building/image.ok"
    mv "$building" "$dir"
    find "$cache" -mindepth 1 -maxdepth 1 -type d ! -name "$key" -exec rm -rf {} +
    echo "vm: image built in $((SECONDS - started)) s; $(du -sh "$dir" | cut -f1) on disk" >&2
  ) 9>"$cache/.lock" || return 1
  echo "$dir"
}

quorvel_vm_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# quorvel_vm_boot IMAGE_DIR TIME_LIMIT (run | shell) -- COMMAND...: boots the
# image and runs COMMAND in the guest, in the folder this shell is in, with
# the project folder at the same path; exits with COMMAND's status. "run"
# passes COMMAND's output through here as it comes and keeps the guest's
# console in a log; "shell" gives COMMAND this terminal. The machine always
# powers off: at COMMAND's end or, at the latest, after TIME_LIMIT seconds.
# The image is left unchanged unless QUORVEL_VM_WRITABLE is set (the first
# boot). A failed run keeps its folder under build/vm and names it.
quorvel_vm_boot() (
  local image=$1 limit=$2 mode=$3
  shift 4
  local runs=$quorvel_vm_project/build/vm
  mkdir -p "$runs"
  local job
  job=$(mktemp -d "$runs/run-$(date +%Y%m%d-%H%M%S)-XXXX")
  echo "$quorvel_vm_project" >"$job/project"
  # The guest sees the project folder only; elsewhere it starts at its top.
  local folder=$quorvel_vm_project
  case $PWD in "$quorvel_vm_project"/*) folder=$PWD ;; esac
  {
    printf 'cd %q || exit 125\n' "$folder"
    if [ "$mode" = shell ]; then
      printf 'exec'
    else
      printf 'exec </dev/null >/job/output.log 2>&1\nexec'
    fi
    printf ' %q' "$@"
    printf '\n'
  } >"$job/job.sh"
  : >"$job/output.log"

  local smp
  smp=$(nproc)
  [ "$smp" -gt 4 ] && smp=4
  local snapshot=on
  [ -n "${QUORVEL_VM_WRITABLE:-}" ] && snapshot=off
  local console=(-serial "file:$job/console.log")
  [ "$mode" = shell ] && console=(-serial mon:stdio)
  local qemu=(
    qemu-system-x86_64 -nodefaults -no-user-config -display none -no-reboot
    # No KVM here. Without SMAP: with it, QEMU's emulation reads the stack
    # at a 32-bit process's return from the kernel as a kernel access, which
    # SMAP refuses, and every 32-bit Wine process dies.
    -accel tcg,thread=multi -smp "$smp" -m 4096 -cpu max,-smap
    -kernel "$image/vmlinuz" -initrd "$image/initrd.img"
    -append "console=ttyS0 quiet loglevel=3 panic=1 tsc=reliable"
    -drive "file=$image/root.img,format=raw,if=virtio,cache=unsafe,snapshot=$snapshot"
    -virtfs "local,path=$job,mount_tag=job,security_model=none,id=job"
    -virtfs "local,path=$quorvel_vm_project,mount_tag=project,security_model=none,id=project,multidevs=remap"
    -device virtio-rng-pci -nic none
    "${console[@]}"
  )

  local qemu_pid='' tail_pid=''
  # Whatever ends this run ends the machine and the output's reader, each by
  # the PID this run started it with.
  trap '[ -n "$qemu_pid" ] && kill "$qemu_pid" 2>/dev/null; [ -n "$tail_pid" ] && kill "$tail_pid" 2>/dev/null' EXIT
  trap 'exit 130' INT TERM
  local qemu_status=0
  if [ "$mode" = shell ]; then
    # In the foreground, on this terminal; timeout ends QEMU by its PID.
    timeout --foreground --kill-after=10 "$limit" "${qemu[@]}" || qemu_status=$?
  else
    timeout --kill-after=10 "$limit" "${qemu[@]}" </dev/null &
    qemu_pid=$!
    tail -n +1 -F -s 0.5 --pid="$qemu_pid" "$job/output.log" 2>/dev/null &
    tail_pid=$!
    wait "$qemu_pid" || qemu_status=$?
    qemu_pid=''
    wait "$tail_pid" 2>/dev/null
    tail_pid=''
  fi

  local status
  if [ "$qemu_status" = 124 ] || [ "$qemu_status" = 137 ]; then
    echo "vm: the emulated PC ran out of its time limit of $limit s and was stopped" >&2
    status=124
  elif [ ! -f "$job/booted" ]; then
    echo "vm: the emulated PC ended (QEMU exit $qemu_status) before it ran the command" >&2
    status=125
  elif [ ! -f "$job/status" ]; then
    echo "vm: the emulated PC ended (QEMU exit $qemu_status) while the command ran" >&2
    status=125
  else
    status=$(cat "$job/status")
  fi
  if [ "$status" = 0 ]; then
    rm -rf "$job"
  elif [ "$mode" = run ]; then
    echo "vm: the run failed (status $status); its folder is $job, the guest's console log" \
      "$job/console.log" >&2
  fi
  exit "$status"
)

# quorvel_vm_run [--time-limit SECONDS] [--shell] -- COMMAND...: runs COMMAND
# in the emulated PC, ready for the shipped 32-bit build: the Wine
# environment of build/cross with its two prefixes (32-bit and 64-bit, made
# when the image was built; a run's changes to them are dropped), a private
# display, and this folder as the working folder.
quorvel_vm_run() {
  local limit=${QUORVEL_VM_TIME_LIMIT:-3600} mode=run
  while [ $# -gt 0 ]; do
    case $1 in
      --time-limit) limit=$2; shift 2 ;;
      --shell) mode=shell; shift ;;
      --) shift; break ;;
      *) break ;;
    esac
  done
  local image
  image=$(quorvel_vm_image) || return 1
  quorvel_vm_boot "$image" "$limit" "$mode" -- bash "$quorvel_vm_project/vm/session" "$@"
}
