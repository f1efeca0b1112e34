#pragma once

#include <QtGlobal>
#include <array>
#include <optional>

struct Settings;

// The range of values a slider of the preferences allows for its field.
struct SliderRange {
    qint16 minimum;
    qint16 maximum;
};

// The fields the preferences edit with sliders, top to bottom: the five values of the thumbnail
// geometry and the slide delay. Each has the range its slider allows; the geometry fields also
// have their value in each predefined format.
namespace PreferenceFields {

inline constexpr int kSliderCount = 6;
inline constexpr int kGeometryCount = 5; // the first five sliders
inline constexpr int kFormatCount = 3;   // small, medium and large thumbnails

struct SliderField {
    qint16 Settings::*member;
    SliderRange range;
    std::optional<std::array<qint16, kFormatCount>> formats;
};

const std::array<SliderField, kSliderCount>& sliders();

// The sum of the five geometry values of a predefined format.
int formatSum(int format);

} // namespace PreferenceFields
