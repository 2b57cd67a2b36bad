#!/usr/bin/env bash
# The X server goes away under a running program: it ends with one clear line.
source "$(dirname "$0")/session.sh"

start_xvfb
start_openbox
probe 'LiveFixture.LostServerEndsTheProgramWithOneLine' E2E_XVFB_PID="${E2E_PIDS[0]}"
echo "lost connection: ok"
