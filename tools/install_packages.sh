#!/usr/bin/env bash
# Installs the Debian packages the project builds, runs and tests with.
set -euo pipefail
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
$SUDO apt-get update
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y \
  cmake g++ make pkg-config libfox-1.6-dev libgtest-dev libbenchmark-dev \
  liblapack-dev libopenblas-dev xvfb xauth python3 clang libclang-rt-14-dev
