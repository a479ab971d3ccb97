#include "tests/sound/scripted_decoder.h"

DecoderScript scriptForNewDecoders;
std::atomic<int> scriptedLive(0);
