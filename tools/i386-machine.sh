#!/usr/bin/env bash
# Makes the 32-bit Debian machine that runs the i686 build under 32-bit Wine, emulated by
# qemu-system-i386 (this machine's kernel runs no 32-bit code). Everything comes from Debian's
# archive: the 686 kernel, an initramfs of our own that loads the virtio block and ext4 modules
# and mounts the root, and a root file system whose first debootstrap stage runs here and whose
# second stage runs inside the emulated machine. The machine is cached outside the clone, under a
# name that hashes this script and the files it puts into the machine, so later runs and other
# clones reuse it; it is built under a temporary name and then renamed, so two runs at once never
# see half a machine. Prints the machine's folder (vmlinuz, initrd.img, root.img).
# Usage: tools/i386-machine.sh
set -euo pipefail
# Read whole before it runs: a checkout that changes this file meanwhile does not reach a build.
{
root=$(cd "$(dirname "$0")/.." && pwd)

suite=bookworm
# Installed in the machine, without recommends (debootstrap adds their dependencies).
packages=(wine32 xvfb xauth x11-utils imagemagick fonts-vlgothic locales python3 openssl procps iproute2)

hash=$(cat "${BASH_SOURCE[0]}" "$root/tools/wine-prefix.sh" | sha256sum | cut -c1-16)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/runlens
machine=$cache/i386-machine-$hash
if [ -f "$machine/ready" ]; then
  echo "$machine"
  exit 0
fi
mkdir -p "$cache"
work=$(mktemp -d "$cache/.i386-machine-$hash.XXXXXX")
trap 'rm -rf "$work"' EXIT
chmod 755 "$work" # apt downloads as its own user
started=$(date +%s)
log() { echo "i386-machine: $* ($(($(date +%s) - started)) s)" >&2; }

# The Debian archive this machine's apt uses, from its sources (one-line and deb822 forms).
mirror=$(
  {
    sed -n "s/^deb \(\[[^]]*\] \)\?\([^ ]*\) $suite .*/\2/p" /etc/apt/sources.list \
      /etc/apt/sources.list.d/*.list 2>/dev/null || true
    awk -v suite="$suite" 'BEGIN { RS = ""; FS = "\n" } {
        uris = ""; suites = ""; enabled = 1
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^URIs:/) { uris = $i; sub(/^URIs:[ \t]*/, "", uris) }
          if ($i ~ /^Suites:/) suites = $i " "
          if ($i ~ /^Enabled:[ \t]*no/) enabled = 0
        }
        if (enabled && suites ~ ("[ :]" suite " ")) { split(uris, u, " "); print u[1] }
      }' /etc/apt/sources.list.d/*.sources 2>/dev/null || true
  } | head -n 1
)
[ -n "$mirror" ] || {
  echo "i386-machine: no $suite source in this machine's apt sources" >&2
  exit 1
}

# The kernel, a static busybox for the initramfs, and the 64-bit Wine DLLs (read as files by the
# version cross-check, next to the machine's own 32-bit ones).
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  "${sudo_cmd[@]}" apt-get update -qq
fi
kernel_package=$(apt-cache depends linux-image-686:i386 | sed -n 's/^ *Depends: \(linux-image-[^ ]*\)/\1/p' | head -n 1)
(cd "$work" && apt-get download -qq "$kernel_package" busybox-static:i386 "libwine:amd64")
mkdir "$work/kernel" "$work/busybox" "$work/wine64"
dpkg-deb -x "$work"/linux-image-*_i386.deb "$work/kernel"
dpkg-deb -x "$work"/busybox-static_*_i386.deb "$work/busybox"
dpkg-deb -x "$work"/libwine_*_amd64.deb "$work/wine64"
log "kernel $kernel_package"

# The initramfs: the block and file system modules with what they need, in load order, and an
# init that mounts the root and hands over to the init named on the kernel command line.
modules=$(echo "$work"/kernel/lib/modules/*)
depmod -b "$work/kernel" "$(basename "$modules")"
initramfs=$work/initramfs
mkdir -p "$initramfs"/{bin,dev,proc,sys,newroot,modules}
cp "$work/busybox/bin/busybox" "$initramfs/bin/busybox"
declare -A loaded=()
order=()
add_module() {
  local path
  path=$(grep -E "(^|/)$1\.ko(\.[a-z]+)?:" "$modules/modules.dep" | head -n 1)
  [ -n "$path" ] || {
    echo "i386-machine: no module $1" >&2
    exit 1
  }
  local file=${path%%:*} dep
  [ -z "${loaded[$file]:-}" ] || return 0
  for dep in ${path#*:}; do
    add_module "$(basename "${dep%%.ko*}")"
  done
  loaded[$file]=1
  order+=("$file")
}
# ext4 asks the crypto layer for crc32c, which no module lists as a dependency.
for module in virtio_pci virtio_blk crc32c_generic ext4; do add_module "$module"; done
for file in "${order[@]}"; do
  name=$(basename "${file%%.ko*}").ko
  case $file in
    *.xz) xz -dc "$modules/$file" >"$initramfs/modules/$name" ;;
    *.zst) zstd -qdc "$modules/$file" >"$initramfs/modules/$name" ;;
    *) cp "$modules/$file" "$initramfs/modules/$name" ;;
  esac
  echo "$name" >>"$initramfs/modules/order"
done
cat >"$initramfs/init" <<'EOF'
#!/bin/busybox sh
/bin/busybox mount -t proc proc /proc
/bin/busybox mount -t sysfs sysfs /sys
/bin/busybox mount -t devtmpfs devtmpfs /dev
for module in $(/bin/busybox cat /modules/order); do /bin/busybox insmod /modules/$module; done
next=/sbin/init
for word in $(/bin/busybox cat /proc/cmdline); do
  case $word in runlens.init=*) next=${word#runlens.init=} ;; esac
done
for _ in 1 2 3 4 5 6 7 8 9 10; do [ -b /dev/vda ] && break; /bin/busybox sleep 0.2; done
if ! /bin/busybox mount -t ext4 /dev/vda /newroot; then
  echo "initramfs: cannot mount the root"
  echo o >/proc/sysrq-trigger
  /bin/busybox sleep 60 # the power-off comes before init would end
fi
/bin/busybox mount --move /dev /newroot/dev
/bin/busybox umount /proc /sys
exec /bin/busybox switch_root /newroot "$next"
EOF
chmod 755 "$initramfs/init" "$initramfs/bin/busybox"
(cd "$initramfs" && find . | cpio -o -H newc -R 0:0 --quiet | gzip -9) >"$work/initrd.img"
cp "$work"/kernel/boot/vmlinuz-* "$work/vmlinuz"
log "initramfs with ${#order[@]} modules"

# The second stage, with the locale, and one Wine prefix per locale the tests run in.
rootfs=$work/rootfs
cat >"$work/second-stage" <<'EOF'
#!/bin/sh
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
mount -t proc proc /proc
mount -t sysfs sysfs /sys
stage() {
  set -e
  /debootstrap/debootstrap --second-stage
  # debootstrap unmounts /proc as it leaves; Wine and the power-off need it.
  mountpoint -q /proc || mount -t proc proc /proc
  echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen
  apt-get clean
  echo runlens-i386 >/etc/hostname
  LANG=C.UTF-8 RUNLENS_WINE=/usr/lib/wine/wine bash /opt/runlens/wine-prefix.sh /opt/runlens/en
  LANG=ja_JP.UTF-8 RUNLENS_WINE=/usr/lib/wine/wine bash /opt/runlens/wine-prefix.sh /opt/runlens/ja
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  touch /opt/runlens/ready
}
(stage) 2>&1 | tee /var/log/runlens-second-stage.log
sync
mountpoint -q /proc || mount -t proc proc /proc
echo o >/proc/sysrq-trigger
sleep 60 # the power-off comes before init would end
EOF
# A job's init: the job disk (/dev/vdb) names in its file "root" the folder it stands for and
# brings tools/i386-job.sh; that script's output and reports go to the results disk (/dev/vdc).
cat >"$work/job" <<'EOF'
#!/bin/sh
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t tmpfs tmpfs /tmp
mkdir -p /dev/shm /dev/pts /job /results
mount -t tmpfs tmpfs /dev/shm
mount -t devpts devpts /dev/pts
ip link set lo up
mount /dev/vdc /results
mount /dev/vdb /job
folder=$(cat /job/root)
mkdir -p "$folder"
mount --bind /job "$folder"
cd "$folder"
{
  bash tools/i386-job.sh /results
  echo $? >/results/status
} 2>&1 | tee /results/job.log
sync
umount /results
echo o >/proc/sysrq-trigger
sleep 60 # the power-off comes before init would end
EOF
build_root() {
  set -euo pipefail
  debootstrap --foreign --arch=i386 --variant=minbase --include="$(
    IFS=,
    echo "${packages[*]}"
  )" "$suite" "$rootfs" "$mirror" >"$work/first-stage.log" 2>&1 || {
    tail -n 30 "$work/first-stage.log" >&2
    exit 1
  }
  mkdir -p "$rootfs"/opt/runlens/{en,ja}
  cp "$root/tools/wine-prefix.sh" "$rootfs/opt/runlens/"
  install -m 755 "$work/second-stage" "$work/job" "$rootfs/opt/runlens/"
  cp -a "$work/wine64/usr/lib/x86_64-linux-gnu" "$rootfs/usr/lib/"
  truncate -s 8G "$work/root.img"
  mkfs.ext4 -q -F -L runlens-i386 -d "$rootfs" "$work/root.img"
}
# The first stage needs root's file ownership: as another user, fakeroot keeps it up to mkfs.
if [ "$(id -u)" -eq 0 ]; then
  build_root
else
  export -f build_root
  export rootfs work suite mirror root
  packages_list="${packages[*]}" fakeroot -- bash -c 'packages=($packages_list); build_root'
fi
rm -rf "$rootfs"
log "first stage"

# Its console stays beside the cache, for a look after a failure.
console=$cache/i386-machine-$hash.log
"$root/tools/i386-run.sh" "$work" /opt/runlens/second-stage 3600 "$console" "$work/root.img" || true
if ! debugfs -R "stat /opt/runlens/ready" "$work/root.img" 2>/dev/null | grep -q '^Inode:'; then
  echo "i386-machine: the second stage did not finish; its console ($console) ends:" >&2
  tail -n 60 "$console" >&2
  exit 1
fi
log "second stage"

rm -rf "$work"/{kernel,busybox,wine64,initramfs,*.deb}
touch "$work/ready"
# Another run may have finished first: its machine stays, this one goes.
mv -T "$work" "$machine" 2>/dev/null || true
echo "$machine"
exit
}
