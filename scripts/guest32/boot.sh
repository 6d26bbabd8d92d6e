# Sourced: boots the test guest once.
#   guest_boot IMAGE_DIR IN_DIR OUT_DIR [keep]
# IN_DIR (read-only in the guest, holding main.sh) and OUT_DIR are shared through 9p. The root
# disk is opened as a snapshot, so a run never changes the image, unless "keep" is given (used
# while the image is made). The guest's serial console goes to OUT_DIR/serial.log. Returns the
# exit status of main.sh (125 when the guest did not get that far).
#
# Software emulation (TCG), two cores. CPU features this QEMU (7.2) gets wrong for 32-bit code
# are hidden: with SMAP the guest kernel oopses on the first return into a 32-bit Wine thread
# (an iret in compatibility mode), and with AVX our 32-bit host crashed or hung while Mesa's
# llvmpipe drew.
guest_boot() {
  local image=$1 in=$2 out=$3 keep=${4:-} snapshot=on
  [ "$keep" = keep ] && snapshot=off
  rm -f "$out/status" "$out/console.log"
  timeout --foreground "${VZRM_GUEST_TIMEOUT:-1500}" qemu-system-x86_64 \
    -accel tcg,thread=multi -cpu max,-smap,-avx,-avx2,-fma,-f16c -smp 2 -m 4096 \
    -nodefaults -display none -no-reboot -serial "file:$out/serial.log" \
    -kernel "$image/vmlinuz" -initrd "$image/initrd.img" \
    -append "console=ttyS0 root=/dev/vda rw init=/sbin/vzrm-init panic=-1 quiet" \
    -drive "file=$image/root.img,if=virtio,format=raw,snapshot=$snapshot,cache=unsafe" \
    -virtfs "local,path=$in,mount_tag=vzrm_in,security_model=none,readonly=on" \
    -virtfs "local,path=$out,mount_tag=vzrm_out,security_model=none" \
    </dev/null >/dev/null 2>&1 || true
  if [ -f "$out/status" ]; then return "$(cat "$out/status")"; fi
  return 125
}
