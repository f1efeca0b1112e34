#pragma once

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>
#include <variant>

struct Settings;

// The stored fields of the settings record, declared once: each field's place in the stored
// record, its type and load rule, its start-up default and, for the values the preferences set
// with sliders, the range a slider allows and the field's value in each predefined format. The
// save, the load, the start-up defaults, the repair of unusable values and the preferences all
// read this table.
namespace StoredFields {

inline constexpr int kCount = 16;
inline constexpr int kSliderCount = 6;   // the fields with a slider range
inline constexpr int kGeometryCount = 5; // the thumbnail geometry: the fields with formats
inline constexpr int kFormatCount = 3;   // small, medium and large thumbnails

// How a stored piece becomes a field value when the record is loaded.
enum class LoadRule {
    Text,          // the piece unchanged
    LeadingNumber, // the number at the start, rounded; no number gives 0
    TrueOrFalse,   // True or False in any letter case, or a number (0 is false)
    WholeNumber,   // the piece must be a number
};

// The field's type is the type of its member.
using Member =
    std::variant<QString Settings::*, qint16 Settings::*, quint8 Settings::*, bool Settings::*>;

// A start-up default: a number (0 or 1 for a flag), or for a text either empty or the process's
// current directory.
struct StartupDefault {
    qint16 number = 0;
    bool currentDirectory = false;
};

// The values a preferences slider allows for its field.
struct SliderRange {
    qint16 minimum;
    qint16 maximum;
};

using Formats = std::array<qint16, kFormatCount>;

struct Field {
    int position; // 1 to 16, the stored order
    Member member;
    LoadRule rule;
    StartupDefault startup;
    std::optional<SliderRange> slider;
    std::optional<Formats> formats;
};

// The sixteen fields in stored order.
const std::array<Field, kCount>& all();

// A field the preferences set with a slider.
struct SliderField {
    qint16 Settings::*member;
    SliderRange range;
    std::optional<Formats> formats; // only the thumbnail geometry has them
};

// The fields with a slider range, in stored order: the preferences' rows, top to bottom. The
// thumbnail geometry comes first.
const std::array<SliderField, kSliderCount>& sliders();

// The stored fields at their start-up defaults, the folders at the current directory.
void applyStartupDefaults(Settings& settings, const QString& currentDirectory);

// True when a value of the thumbnail geometry lies below what its slider allows: such a grid
// (a width of 1 with spacings of 0, say) would have tens of thousands of cells.
bool geometryUnusable(const Settings& settings);
// The five values of the thumbnail geometry back at their start-up defaults.
void restoreGeometryDefaults(Settings& settings);
// The start-up default of an int16 field.
qint16 startupNumber(qint16 Settings::*member);

} // namespace StoredFields
