#pragma once
// The texts of the car panels as the race rules leave them: each car's place (or "F"), its
// completed laps and its last lap beside its gauges, and the track record and the leader's lap
// at the left of the bottom panel. Drawn into the locked drawSurface every picture.

void drawCarPanelTexts();
