#pragma once
// Moving and drawing the effect particles of the race view and of the final fireworks.

// Advances every live particle of the used slots by steps simulation steps (slowing, jitter,
// movement, life), bursts spent firework shells into sparks, then draws each live one as its
// type's pattern of discs, hidden where the terrain is nearer.
void drawParticles(int steps);
