#pragma once
// One 10 ms step of one car: inputs, engine, tyres, steering, integration, air and water,
// then the contacts and the checkpoint test.

void carStep(int car);
