#!/usr/bin/env bash
# Gradescope: /autograder/setup.sh, run once when the autograder image is built.
# The autograder's zip holds this file, run_autograder, the suite and either the
# Debian package (corvane_*.deb, from `make package`) or the source tree.
set -euo pipefail
cd /autograder/source
apt-get update -qq
if ls corvane_*_amd64.deb >/dev/null 2>&1; then
    # The package brings corvane-run and pulls in what it needs.
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ./corvane_*_amd64.deb
else
    # From source: only the headless runner is needed.
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        make cmake g++ libcli11-dev libtomlplusplus-dev
    cmake -S corvane -B build -DCMAKE_BUILD_TYPE=Release -DCORVANE_GUI=OFF -DCORVANE_TESTS=OFF
    cmake --build build -j "$(nproc)" --target corvane-run
    install -m 755 build/corvane-run /usr/local/bin/corvane-run
fi
corvane-run --version
