// Laying out 1,000 text blocks, each in a font of its own, as a message file
// of many messages does at load: the atlases kept must stay within the font
// cache's bound however many fonts are named. Run from the installation folder.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "render/backend.h"
#include "render/font.h"
#include "render/text.h"
#include "render/text_block.h"

namespace {

void BM_TextBlocksDistinctFonts(benchmark::State& state) {
    static bool renderer = false;
    if (!renderer) {
        RenderSetup setup;
        renderer = InitRenderer(&setup, nullptr);
        CreateTextGlobals();
    }
    const int n = (int)state.range(0);
    size_t peakBytes = 0;
    int peakFonts = 0;
    for (auto _ : state) {
        ReleaseFonts();
        ResetFontMemoryPeak();
        std::vector<std::unique_ptr<CTextBlock>> blocks;
        for (int i = 0; i < n; i++) {
            blocks.push_back(std::make_unique<CTextBlock>());
            CTextBlock::SetFormatFromString(*blocks.back(), "%f%sReinforcements at the ford%s%f",
                                            "face" + std::to_string(i) + " 40");
        }
        FontMemory memory = GetFontMemory();
        peakBytes = std::max(peakBytes, memory.peakBytes);
        peakFonts = std::max(peakFonts, memory.peakFonts);
    }
    state.counters["peak_atlas_MB"] = (double)peakBytes / (1024.0 * 1024.0);
    state.counters["peak_atlases"] = peakFonts;
    state.counters["bound_atlases"] = FontCacheCapacity;
}
BENCHMARK(BM_TextBlocksDistinctFonts)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
