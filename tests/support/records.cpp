#include "support/records.h"

void UseVerses(SaverSettings& record, std::vector<WideChar>& block) {
    record.Texts = block.empty() ? nullptr : block.data();
    record.TextCount = static_cast<uint32_t>(block.size() / TextSlotWidth);
}

void UseFonts(SaverSettings& record, std::vector<WideChar>& block) {
    record.Fonts = block.empty() ? nullptr : block.data();
    record.FontCount = static_cast<uint32_t>(block.size() / FontSlotWidth);
}

void ClearRecord(SaverSettings& record) {
    record.SaverWindow = nullptr;
    record.Texts = nullptr;
    record.TextCount = 0;
    record.Fonts = nullptr;
    record.FontCount = 0;
    record.TextSpeed = 0;
    record.FadeSpeed = 0;
    record.FirstPick = 0;
    record.ThreadSeed = 0;
    record.LastDay = 0;
    record.LastText = 0;
    record.Running = 0;
    record.Options = 0;
}

void SetUpRun(SaverSettings& record, std::vector<WideChar>& verses, std::vector<WideChar>& fonts,
              uint32_t seed, uint32_t fadeSpeed) {
    ClearRecord(record);
    UseVerses(record, verses);
    UseFonts(record, fonts);
    record.ThreadSeed = seed;
    record.FadeSpeed = fadeSpeed;
}
