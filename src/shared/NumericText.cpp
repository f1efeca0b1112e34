#include "NumericText.h"

#include <QString>
#include <cmath>

namespace NumericText {
namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Length of the number that starts at text[from], 0 when there is none.
qsizetype numberLength(QStringView text, qsizetype from) {
    qsizetype i = from;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        const qsizetype exponentStart = j;
        while (j < text.size() && isDigit(text[j]))
            ++j;
        if (j > exponentStart)
            i = j;
    }
    return i - from;
}

qsizetype skipBlanks(QStringView text, qsizetype from) {
    while (from < text.size() && isBlank(text[from]))
        ++from;
    return from;
}

double toDouble(QStringView number) {
    bool ok = false;
    const double value = number.toString().toDouble(&ok);
    return ok ? value : 0.0;
}

} // namespace

double leadingNumber(QStringView text) {
    const qsizetype start = skipBlanks(text, 0);
    const qsizetype length = numberLength(text, start);
    return length == 0 ? 0.0 : toDouble(text.mid(start, length));
}

std::optional<double> wholeNumber(QStringView text) {
    const qsizetype start = skipBlanks(text, 0);
    const qsizetype length = numberLength(text, start);
    if (length == 0 || skipBlanks(text, start + length) != text.size())
        return std::nullopt;
    return toDouble(text.mid(start, length));
}

std::optional<int> roundedInRange(double value, int lowest, int highest) {
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < lowest || rounded > highest)
        return std::nullopt;
    return static_cast<int>(rounded);
}

} // namespace NumericText
