#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit x86 code (a kernel with IA-32
# emulation), which wine32 needs for the shipped 32-bit program's suites;
# otherwise prints why on one line and exits 1. Assembles the smallest i386
# program with binutils and starts it.
set -u
dir=$(mktemp -d /tmp/qvl-ia32-XXXXXX)
trap 'rm -rf "$dir"' EXIT
printf '.globl _start\n_start: movl $1, %%eax\nxorl %%ebx, %%ebx\nint $0x80\n' > "$dir/exit.s"
if ! as --32 -o "$dir/exit.o" "$dir/exit.s" 2> "$dir/err" || ! ld -m elf_i386 -o "$dir/exit" "$dir/exit.o" 2>> "$dir/err"; then
  echo "cannot build a 32-bit test program: $(head -n1 "$dir/err")"
  exit 1
fi
if ! "$dir/exit" 2> "$dir/err"; then
  echo "this machine cannot run 32-bit code: $(sed 's/.*: //' "$dir/err" | head -n1)"
  exit 1
fi
