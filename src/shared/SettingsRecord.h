#pragma once

#include <QByteArray>
#include <optional>

struct Settings;

// The stored form of the settings record: sixteen comma-separated fields in one single-byte text,
// scrambled by adding 100 to every byte.
namespace SettingsRecord {

// The record text of the sixteen stored fields, each converted by its type.
QByteArray recordText(const Settings& settings);

// Splits an unscrambled record text and assigns its pieces field by field in stored order. A
// piece that its field cannot take stops the assignment there: earlier fields keep their new
// values, later ones what they held. Returns false when it stopped early.
bool assignRecordText(Settings& settings, const QByteArray& text);

QByteArray scramble(const QByteArray& text);
// Nothing when a byte lies below 100, which no scrambled text holds.
std::optional<QByteArray> unscramble(const QByteArray& scrambled);

// Text fields hold the platform's file-name bytes. Bytes the scrambling cannot carry (above 155),
// the comma and the escape byte itself are written as the escape byte and two hexadecimal digits,
// so every text round-trips while records of plain texts read unchanged.
QByteArray encodeTextField(const QString& text);
QString decodeTextField(const QByteArray& bytes);

} // namespace SettingsRecord
