#include "SettingsRecord.h"

#include "ByteEscape.h"
#include "NumericText.h"
#include "Settings.h"
#include "StoredFields.h"

#include <QList>
#include <array>
#include <limits>

namespace SettingsRecord {
namespace {

using StoredFields::Field;
using StoredFields::kCount;
using StoredFields::LoadRule;

constexpr unsigned char kHighestCarriedByte = 155;
constexpr int kScrambleOffset = 100;

QByteArray fieldText(const Settings& s, const Field& field) {
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

bool assignField(Settings& s, const Field& field, const QByteArray& piece) {
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
    for (const Field& field : StoredFields::all())
        pieces.append(fieldText(settings, field));
    return pieces.join(',');
}

bool assignRecordText(Settings& settings, const QByteArray& text) {
    // Each piece followed by a comma goes to the next field; the text after the last comma
    // always goes to the last field, whatever the count.
    const QByteArrayList pieces = text.split(',');
    std::array<std::optional<QByteArray>, kCount> pieceOfField;
    for (qsizetype i = 0; i + 1 < pieces.size() && i < kCount; ++i)
        pieceOfField[i] = pieces[i];
    pieceOfField[kCount - 1] = pieces.last();

    for (int i = 0; i < kCount; ++i) {
        if (pieceOfField[i] && !assignField(settings, StoredFields::all()[i], *pieceOfField[i]))
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
