#include "PreferenceFields.h"

#include "Settings.h"

namespace PreferenceFields {

const std::array<SliderField, kSliderCount>& sliders() {
    static const std::array<SliderField, kSliderCount> fields{{
        {&Settings::ThumbHeight, {50, 6000}, {{500, 1430, 3117}}},
        {&Settings::ThumbWidth, {50, 6000}, {{500, 1338, 3700}}},
        {&Settings::CaptionWidth, {0, 6000}, {{910, 1299, 3742}}},
        {&Settings::SpacingH, {50, 5000}, {{420, 254, 535}}},
        {&Settings::SpacingV, {50, 5000}, {{380, 688, 382}}},
        {&Settings::ImageTempo, {1, 200}, std::nullopt},
    }};
    return fields;
}

int formatSum(int format) {
    int sum = 0;
    for (int i = 0; i < kGeometryCount; ++i)
        sum += (*sliders()[i].formats)[format];
    return sum;
}

} // namespace PreferenceFields
