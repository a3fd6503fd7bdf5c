#include "state/game_state.h"

GameState game;
