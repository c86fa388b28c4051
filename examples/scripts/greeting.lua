-- A board that boots, prints its firmware version and a prompt, and answers "status".
-- korvani --headless --script greeting.lua --port /dev/ttyUSB0 --baud 115200
local _, version = expect('firmware (%d+%.%d+)', 15)
if not version then
  log('no greeting from the board')
  exit(3)
end
expect('> ')
sendline('status')
local state = select(2, expect('state=(%a+)', 5))
log('firmware ' .. version .. ', state ' .. tostring(state))
exit(state == 'running' and 0 or 1)
