#!/usr/bin/env bash
# `udevadm verify` on the device rule, where the installed udev has it
# (systemd 254 and later); skipped otherwise. udev_rule_test.cpp checks the
# rule against the product table everywhere.
set -euo pipefail
rule=$1
command -v udevadm >/dev/null || { echo "no udevadm"; exit 77; }
udevadm verify --help >/dev/null 2>&1 || { echo "this udevadm has no verify"; exit 77; }
udevadm verify --resolve-names=never "$rule"
