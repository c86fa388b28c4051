-- A firmware's CI checks that the screen after start-up still reads what it read in a
-- known-good run. Record the good run once:
--   korvani --headless --script wait.lua --port /dev/ttyUSB0 --record good.kvr
-- then check each build's recording (or the good one, to try this script) as fast as it
-- can be read:
--   korvani --headless --script golden_run.lua --replay good.kvr --speed 0
local expected = {
  [1] = 'VEXEL DEMO BOARD',
  [3] = 'Temperature',
  [5] = 'Setpoint',
}
expect('DEMO BOARD', 5)
sleep(0.2)
local failed = 0
for row, text in pairs(expected) do
  local shown = screen.text(row) or ''
  if not shown:find(text, 1, true) then
    log(string.format('row %d reads "%s", not "%s"', row, shown, text))
    failed = failed + 1
  end
end
if failed > 0 then exit(1) end
log('start-up screen as recorded')
