-- Lets the board run for a while: for recording a known-good run with --record.
sleep(3)
