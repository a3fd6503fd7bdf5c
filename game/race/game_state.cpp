#include "race/game_state.h"

GameState game;
