#!/bin/sh
# Exits 0 when this machine runs 32-bit x86 programs, 1 when it does not.
# Kernels of the same kind differ here; a tiny -m32 program that must run and
# exit 0 is the only reliable answer. NORVANE_NATIVE_I386=0 forces "no" and
# =1 skips the probe, so that a caller can probe once for all its steps.
case ${NORVANE_NATIVE_I386:-} in
  0) exit 1 ;;
  1) exit 0 ;;
esac
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf 'int main(void) { return 0; }\n' > "$dir/probe.c"
cc -m32 -o "$dir/probe" "$dir/probe.c" 2> /dev/null || exit 1
"$dir/probe" 2> /dev/null || exit 1
