// Where the start-up time goes. With ORBAKARAOKE_STARTUP_TRACE set, each
// step of the start prints one line to stderr: the wall time since the
// process was launched and the CPU time the process has used so far, both in
// ms. The launcher may pass its own clock (CLOCK_REALTIME in ns) in
// ORBAKARAOKE_STARTUP_T0 so that what runs before main counts too; without
// it the wall time counts from the first step.
//
// ORBAKARAOKE_STARTUP_TRACE=exit also ends the player once its first frame
// is on the screen, so that a script can time many starts in a row.
#pragma once

namespace orba {

bool startupTraceOn();
bool startupTraceExits();
void startupMark(const char* step);

}  // namespace orba
