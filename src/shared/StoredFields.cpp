#include "StoredFields.h"

#include "Settings.h"

namespace StoredFields {
namespace {
using enum LoadRule;
constexpr StartupDefault kCurrentDirectory{0, true};
constexpr StartupDefault kEmpty{};

constexpr std::optional<SliderRange> slider(qint16 minimum, qint16 maximum) {
    return SliderRange{minimum, maximum};
}
constexpr std::optional<Formats> formats(qint16 small, qint16 medium, qint16 large) {
    return Formats{small, medium, large};
}

// One row per stored field: position, member, load rule, start-up default, the range its
// preferences slider allows, its values in the small, medium and large formats.
constexpr std::array<Field, kCount> kFields{{
    {1, &Settings::CurrentFolder, Text, kCurrentDirectory, {}, {}},
    {2, &Settings::ThumbHeight, LeadingNumber, {500}, slider(50, 6000), formats(500, 1430, 3117)},
    {3, &Settings::ThumbWidth, LeadingNumber, {500}, slider(50, 6000), formats(500, 1338, 3700)},
    {4, &Settings::CaptionWidth, LeadingNumber, {910}, slider(0, 6000), formats(910, 1299, 3742)},
    {5, &Settings::SpacingH, LeadingNumber, {420}, slider(50, 5000), formats(420, 254, 535)},
    {6, &Settings::SpacingV, LeadingNumber, {380}, slider(50, 5000), formats(380, 688, 382)},
    {7, &Settings::LanguageOffset, LeadingNumber, {0}, {}, {}},
    {8, &Settings::ZoomDivisor, LeadingNumber, {2}, {}, {}},
    {9, &Settings::ZoomMode, TrueOrFalse, {0}, {}, {}},
    {10, &Settings::CopyFolder, Text, kCurrentDirectory, {}, {}},
    {11, &Settings::Reserved11, Text, kEmpty, {}, {}},
    {12, &Settings::ImageTempo, WholeNumber, {0}, slider(1, 200), {}},
    {13, &Settings::Proportional, WholeNumber, {0}, {}, {}},
    {14, &Settings::RandomOrder, WholeNumber, {0}, {}, {}},
    {15, &Settings::ProtectPassword, Text, kEmpty, {}, {}},
    {16, &Settings::Reserved16, Text, kEmpty, {}, {}},
}};

constexpr bool wellFormed() {
    int withSlider = 0;
    int withFormats = 0;
    for (int i = 0; i < kCount; ++i) {
        const Field& field = kFields[i];
        const bool int16 = std::holds_alternative<qint16 Settings::*>(field.member);
        if (field.position != i + 1 || (field.slider && !int16) || (field.formats && !field.slider))
            return false;
        withSlider += field.slider ? 1 : 0;
        withFormats += field.formats ? 1 : 0;
    }
    return withSlider == kSliderCount && withFormats == kGeometryCount;
}
static_assert(wellFormed(), "stored fields out of order, or sliders or formats on other fields");
} // namespace

const std::array<Field, kCount>& all() {
    return kFields;
}

const std::array<SliderField, kSliderCount>& sliders() {
    static const std::array<SliderField, kSliderCount> fields = [] {
        std::array<SliderField, kSliderCount> found{};
        int next = 0;
        for (const Field& field : kFields) {
            if (field.slider)
                found[next++] = {std::get<qint16 Settings::*>(field.member), *field.slider,
                                 field.formats};
        }
        return found;
    }();
    return fields;
}

void applyStartupDefaults(Settings& settings, const QString& currentDirectory) {
    for (const Field& field : kFields) {
        std::visit(
            [&](auto member) {
                auto& target = settings.*member;
                using Value = std::decay_t<decltype(target)>;
                if constexpr (std::is_same_v<Value, QString>)
                    target = field.startup.currentDirectory ? currentDirectory : QString();
                else
                    target = static_cast<Value>(field.startup.number);
            },
            field.member);
    }
}

bool geometryUnusable(const Settings& settings) {
    for (const SliderField& field : sliders()) {
        if (field.formats && settings.*field.member < field.range.minimum)
            return true;
    }
    return false;
}

void restoreGeometryDefaults(Settings& settings) {
    for (const SliderField& field : sliders()) {
        if (field.formats)
            settings.*field.member = startupNumber(field.member);
    }
}

qint16 startupNumber(qint16 Settings::*member) {
    for (const Field& field : kFields) {
        if (field.member == Member(member))
            return field.startup.number;
    }
    return 0;
}

} // namespace StoredFields
