#!/bin/bash
# Runs a Windows program on this machine under Wine:
#   tools/run-under-wine.sh program.exe [arguments...]
# Standard input, output, error and the exit status are the program's own. WINEPREFIX picks the
# Wine prefix (Wine's default when unset).
set -euo pipefail

# Wine's own notes would otherwise mix with the program's standard error.
export WINEDEBUG="${WINEDEBUG:--all}"
# A console program needs neither the .NET nor the HTML engine; without this, a fresh prefix
# would try to install them.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# Wine's server and its background processes are started first, detached from this program's
# standard streams. Started by the program instead, they would inherit its output pipes and hold
# them open for seconds after it has ended, and whoever reads the output to its end would wait.
# The server stays for a few seconds after the last program, so a run of tests starts it once.
server_status=0
wineserver --persistent=5 </dev/null >/dev/null 2>&1 || server_status=$?
if [[ ${server_status} -ne 2 ]]; then
    # No server was running for this prefix (status 2 means one is), or the prefix is new and
    # is set up now, with Wine's notes about that going nowhere. A program that does nothing
    # brings up the background processes.
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
fi

exec wine "$@"
