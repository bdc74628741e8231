// Which season the player greets: decided once from the local date when the
// player starts. The environment can stand in for the clock, for tests and
// for pictures of the season on any day.
#pragma once

namespace orba {

// 4 from 23 to 25 December, 1 on 1 January, else 0. `mmdd` is month * 100 + day.
int seasonModeFor(int mmdd);

// Today's date as mmdd; $ORBAKARAOKE_TODAY (four digits) stands in for the clock.
int todayMmdd();

}  // namespace orba
