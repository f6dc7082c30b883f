#!/usr/bin/env bash
# ThreadSanitizer over what runs on several threads: scripts/sanitize.sh thread.
exec bash "$(dirname "$0")/sanitize.sh" thread "$@"
