#include "state/random_table.h"

#include "state/game_state.h"

#include <cstdlib>

void fillRandomTable()
{
    if (!game.randomTable) game.randomTable = new float[256];
    for (int i = 0; i < 256; ++i)
        game.randomTable[i] = static_cast<float>(std::rand() % 32768) * (1.0f / 32768.0f);
}

float nextRandom()
{
    if (!game.randomTable) fillRandomTable();
    ++game.randomIndex;
    return game.randomTable[game.randomIndex];
}

void freeRandomTable()
{
    delete[] game.randomTable;
    game.randomTable = nullptr;
}
