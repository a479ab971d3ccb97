#ifndef CORE_RANDOM_H
#define CORE_RANDOM_H

// The game's chance values: the same sequence as the Windows C runtime's rand()
// (0..32767), so the native build and the Windows program draw the same numbers.
const int GameRandMax = 32767;

int GameRand();
void GameSrand(unsigned seed);

#endif
