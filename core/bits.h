#ifndef CORE_BITS_H
#define CORE_BITS_H

int CountSetBits(unsigned n);   // the texture loader's power-of-two test
int HighestSetBit(unsigned n);  // 31..0; -1 for 0

#endif
