#!/usr/bin/env bash
# Boots the 32-bit machine under qemu-system-i386 (software emulation, two virtual processors,
# no network device) with the given init and disks, and waits until it powers off. The first
# disk is the root (/dev/vda), the others follow as /dev/vdb, /dev/vdc; a disk named PATH:scratch
# takes writes only for this boot. Fails when the machine is still running after TIMEOUT seconds.
# Usage: tools/i386-run.sh MACHINE_DIR INIT TIMEOUT CONSOLE_LOG DISK...
set -euo pipefail
machine=$1 init=$2 limit=$3 console=$4
shift 4

drives=()
for disk in "$@"; do
  case $disk in
    *:scratch) drives+=(-drive "file=${disk%:scratch},format=raw,if=virtio,snapshot=on") ;;
    *) drives+=(-drive "file=$disk,format=raw,if=virtio") ;;
  esac
done
status=0
# Every processor feature the emulator has but SMAP: its emulated IRET reads the user stack as the
# kernel would, so that Wine's 32-bit context switches (an IRET in user mode) fault under SMAP.
timeout -k 10 "$limit" qemu-system-i386 -M pc -accel tcg,thread=multi -cpu max,smap=off \
  -smp "${RUNLENS_I386_CPUS:-2}" -m "${RUNLENS_I386_MEMORY:-3G}" \
  -nodefaults -nic none -display none -no-reboot -serial "file:$console" \
  -kernel "$machine/vmlinuz" -initrd "$machine/initrd.img" \
  -append "console=ttyS0 panic=1 loglevel=4 runlens.init=$init" \
  "${drives[@]}" || status=$?
if [ "$status" -eq 124 ]; then
  echo "i386-run: the machine was still running after $limit s" >&2
fi
exit "$status"
