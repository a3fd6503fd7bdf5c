#pragma once
// The race instruments: the start lights and each car's tyre, damage and fuel bars.

// The three lamps in their box at the top left; nothing while startLight < 0. Lamp i is lit
// while i <= startLight <= 2; at 3 all are dark.
void drawStartLights();
// Car k's three bars along the bottom of the screen, filled from below by value / 65535.
void drawCarGauges(int car);
