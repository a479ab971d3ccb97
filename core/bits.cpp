#include "core/bits.h"

int CountSetBits(unsigned n) {
    int count = 0;
    while (n) {
        count += (int)(n & 1);
        n >>= 1;
    }
    return count;
}

int HighestSetBit(unsigned n) {
    for (int i = 31; i >= 0; i--) {
        if (n & (1u << i)) {
            return i;
        }
    }
    return -1;
}
