#include "SettingsRecord.h"

#include "ByteEscape.h"
#include "NumericText.h"
#include "Settings.h"

#include <QList>
#include <array>
#include <limits>
#include <variant>

namespace SettingsRecord {
namespace {

// How a stored piece becomes a field value when the record is loaded.
enum class LoadRule {
    Text,          // the piece unchanged
    LeadingNumber, // the number at the start, rounded; no number gives 0
    TrueOrFalse,   // True or False in any letter case, or a number (0 is false)
    WholeNumber,   // the piece must be a number
};

using Member = std::variant<QString Settings::*, qint16 Settings::*, quint8 Settings::*,
                            bool Settings::*>;

struct StoredField {
    Member member;
    LoadRule rule;
};

// The stored fields in stored order. Their start-up defaults are in Settings::startupDefaults.
const std::array<StoredField, kStoredFieldCount> kStoredFields{{
    {&Settings::CurrentFolder, LoadRule::Text},
    {&Settings::ThumbHeight, LoadRule::LeadingNumber},
    {&Settings::ThumbWidth, LoadRule::LeadingNumber},
    {&Settings::CaptionWidth, LoadRule::LeadingNumber},
    {&Settings::SpacingH, LoadRule::LeadingNumber},
    {&Settings::SpacingV, LoadRule::LeadingNumber},
    {&Settings::LanguageOffset, LoadRule::LeadingNumber},
    {&Settings::ZoomDivisor, LoadRule::LeadingNumber},
    {&Settings::ZoomMode, LoadRule::TrueOrFalse},
    {&Settings::CopyFolder, LoadRule::Text},
    {&Settings::Reserved11, LoadRule::Text},
    {&Settings::ImageTempo, LoadRule::WholeNumber},
    {&Settings::Proportional, LoadRule::WholeNumber},
    {&Settings::RandomOrder, LoadRule::WholeNumber},
    {&Settings::ProtectPassword, LoadRule::Text},
    {&Settings::Reserved16, LoadRule::Text},
}};

constexpr unsigned char kHighestCarriedByte = 155;
constexpr int kScrambleOffset = 100;

QByteArray fieldText(const Settings& s, const StoredField& field) {
    return std::visit(
        [&s](auto member) -> QByteArray {
            const auto& value = s.*member;
            using Value = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<Value, QString>)
                return encodeTextField(value);
            else if constexpr (std::is_same_v<Value, bool>)
                return value ? "True" : "False";
            else
                return QByteArray::number(value);
        },
        field.member);
}

std::optional<double> numberFor(const QString& piece, LoadRule rule) {
    if (rule == LoadRule::LeadingNumber)
        return NumericText::leadingNumber(piece);
    return NumericText::wholeNumber(piece);
}

template <typename Integer>
bool assignInteger(Integer& target, const QString& piece, LoadRule rule) {
    const auto number = numberFor(piece, rule);
    if (!number)
        return false;
    const auto value = NumericText::roundedInRange(*number, std::numeric_limits<Integer>::min(),
                                                   std::numeric_limits<Integer>::max());
    if (!value)
        return false;
    target = static_cast<Integer>(*value);
    return true;
}

bool assignBoolean(bool& target, const QString& piece) {
    const QString word = piece.trimmed();
    if (word.compare(u"True", Qt::CaseInsensitive) == 0) {
        target = true;
        return true;
    }
    if (word.compare(u"False", Qt::CaseInsensitive) == 0) {
        target = false;
        return true;
    }
    const auto number = NumericText::wholeNumber(word);
    if (!number)
        return false;
    target = *number != 0.0;
    return true;
}

bool assignField(Settings& s, const StoredField& field, const QByteArray& piece) {
    return std::visit(
        [&](auto member) -> bool {
            auto& target = s.*member;
            using Value = std::decay_t<decltype(target)>;
            if constexpr (std::is_same_v<Value, QString>) {
                target = decodeTextField(piece);
                return true;
            } else if constexpr (std::is_same_v<Value, bool>) {
                return assignBoolean(target, QString::fromLatin1(piece));
            } else {
                return assignInteger(target, QString::fromLatin1(piece), field.rule);
            }
        },
        field.member);
}

} // namespace

QByteArray recordText(const Settings& settings) {
    QByteArrayList pieces;
    for (const StoredField& field : kStoredFields)
        pieces.append(fieldText(settings, field));
    return pieces.join(',');
}

bool assignRecordText(Settings& settings, const QByteArray& text) {
    // Each piece followed by a comma goes to the next field; the text after the last comma
    // always goes to the last field, whatever the count.
    const QByteArrayList pieces = text.split(',');
    std::array<std::optional<QByteArray>, kStoredFieldCount> pieceOfField;
    for (qsizetype i = 0; i + 1 < pieces.size() && i < kStoredFieldCount; ++i)
        pieceOfField[i] = pieces[i];
    pieceOfField[kStoredFieldCount - 1] = pieces.last();

    for (int i = 0; i < kStoredFieldCount; ++i) {
        if (pieceOfField[i] && !assignField(settings, kStoredFields[i], *pieceOfField[i]))
            return false;
    }
    return true;
}

QByteArray scramble(const QByteArray& text) {
    QByteArray scrambled(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        scrambled[i] = static_cast<char>(static_cast<unsigned char>(text[i]) + kScrambleOffset);
    return scrambled;
}

std::optional<QByteArray> unscramble(const QByteArray& scrambled) {
    QByteArray text(scrambled.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < scrambled.size(); ++i) {
        const int value = static_cast<unsigned char>(scrambled[i]);
        if (value < kScrambleOffset)
            return std::nullopt;
        text[i] = static_cast<char>(value - kScrambleOffset);
    }
    return text;
}

QByteArray encodeTextField(const QString& text) {
    return ByteEscape::encode(text.toLocal8Bit(), [](unsigned char value) {
        return value > kHighestCarriedByte || value == ',';
    });
}

QString decodeTextField(const QByteArray& bytes) {
    return QString::fromLocal8Bit(ByteEscape::decode(bytes));
}

} // namespace SettingsRecord
