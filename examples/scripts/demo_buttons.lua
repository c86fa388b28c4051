-- The demo board's soft buttons, pressed by their captions, and its number prompt answered.
-- korvani --headless --script demo_buttons.lua --demo
sleep(1)                          -- the board draws its screen
local row = screen.find('Count')
press('Count +')
press('Count +')
sleep(0.3)
log(screen.text(row))
press('Setpoint')                 -- the board asks for a number
sleep(0.3)
enter(30)
sleep(0.3)
local setpoint = screen.text(screen.find('Setpoint'))
assert(setpoint:find('30'), 'the setpoint did not take: ' .. setpoint)
log(setpoint)
