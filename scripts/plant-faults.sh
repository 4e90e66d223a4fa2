#!/usr/bin/env bash
# Plants each fault the simulation must find into a scratch copy of the
# sources, runs the simulation on it for at most a minute, and prints a table
# of found or missed (see scripts/plant_faults.py). --check only checks that
# every fault still applies to the sources.
exec python3 "$(dirname "$0")/plant_faults.py" "$@"
