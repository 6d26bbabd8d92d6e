#!/bin/sh
# PID 1 of the test guest (installed in the image as /sbin/vzrm-init): mounts what programs
# expect, the two shares (vzrm_in read-only: the files and the script to run; vzrm_out: results),
# runs vzrm_in's main.sh with its output in vzrm_out/console.log, keeps its exit status in
# vzrm_out/status, and powers the machine off. No systemd, no services: nothing else runs.
PATH=/usr/sbin:/usr/bin:/sbin:/bin
export PATH
mount -t proc proc /proc 2>/dev/null
mount -t sysfs sysfs /sys 2>/dev/null
mount -t devtmpfs devtmpfs /dev 2>/dev/null
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /tmp
mount -t tmpfs tmpfs /run
hostname guest32
modprobe 9pnet_virtio 2>/dev/null
modprobe 9p 2>/dev/null
mkdir -p /mnt/in /mnt/out
mount -t 9p -o trans=virtio,version=9p2000.L,msize=524288,ro vzrm_in /mnt/in
mount -t 9p -o trans=virtio,version=9p2000.L,msize=524288 vzrm_out /mnt/out
if [ -f /mnt/in/main.sh ]; then
  echo "guest: running main.sh"
  sh /mnt/in/main.sh > /mnt/out/console.log 2>&1 </dev/null
  echo $? > /mnt/out/status
  echo "guest: main.sh exited $(cat /mnt/out/status)"
else
  echo "guest: no main.sh in the vzrm_in share"
fi
sync
umount /mnt/out 2>/dev/null
mount -o remount,ro / 2>/dev/null
sync
echo o > /proc/sysrq-trigger
sleep 30
