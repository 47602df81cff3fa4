#include "link/ReplyParse.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

namespace {
bool isBlank(QChar c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(QChar c) { return c >= '0' && c <= '9'; }
}  // namespace

QString TrimReply(const QString& text) {
    const int lf = text.indexOf(QChar('\n'));
    return lf < 0 ? text : text.left(lf);
}

double LeadingNumber(const QString& text) {
    QString clean;
    int i = 0;
    const int n = text.size();
    auto skip = [&] {
        while (i < n && isBlank(text[i])) ++i;
    };
    skip();
    if (i < n && (text[i] == '+' || text[i] == '-')) clean += text[i++];
    int digits = 0;
    bool point = false;
    for (;;) {
        skip();
        if (i >= n) break;
        const QChar c = text[i];
        if (isDigit(c)) {
            clean += c;
            ++digits;
            ++i;
        } else if (c == '.' && !point) {
            clean += c;
            point = true;
            ++i;
        } else {
            break;
        }
    }
    if (digits == 0) return 0.0;
    // Exponent: only taken when at least one digit follows.
    skip();
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        int j = i + 1;
        QString exp = "e";
        auto skipj = [&] {
            while (j < n && isBlank(text[j])) ++j;
        };
        skipj();
        if (j < n && (text[j] == '+' || text[j] == '-')) exp += text[j++];
        int expDigits = 0;
        for (;;) {
            skipj();
            if (j < n && isDigit(text[j])) {
                exp += text[j++];
                ++expDigits;
            } else {
                break;
            }
        }
        if (expDigits > 0) clean += exp;
    }
    bool ok = false;
    const double v = clean.toDouble(&ok);  // always "." whatever the locale
    if (ok) return v;
    // Out of range: the exponent decides between infinity and zero.
    if (std::isinf(v)) return v;
    return 0.0;
}

namespace {
double prefixFactor(QChar p, bool& divide);
}  // namespace

namespace {
// A reply without the tabs and line ends it may bring around its number.
QString replyCore(const QString& text) {
    int b = 0, e = text.size();
    while (b < e && isBlank(text[b])) ++b;
    while (e > b && (isBlank(text[e - 1]) || text[e - 1] == '\r')) --e;
    return text.mid(b, e - b);
}

// "inf" or "infinity" in any case, with an optional sign: +1 or -1; 0 for
// any other text.
int infinitySign(const QString& core) {
    int i = 0, sign = 1;
    if (i < core.size() && (core[i] == '+' || core[i] == '-')) sign = core[i++] == '-' ? -1 : 1;
    const QString word = core.mid(i);
    return word.compare(QLatin1String("inf"), Qt::CaseInsensitive) == 0 ||
                   word.compare(QLatin1String("infinity"), Qt::CaseInsensitive) == 0
               ? sign
               : 0;
}
}  // namespace

bool IsPlainNumber(const QString& text) { return ReadPlainNumberText(replyCore(text)).valid; }

ParsedValue NumberOfAnySize(const QString& text) {
    const QString core = replyCore(text);
    const UnitNumber n = ReadPlainNumberText(core);
    if (n.valid || n.tooLarge) return {n.value, true};
    if (const int sign = infinitySign(core)) return {sign * std::numeric_limits<double>::infinity(), true};
    return {};
}

namespace {

bool sameLetter(QChar c, char want, Qt::CaseSensitivity cs) {
    const ushort u = c.unicode();
    if (u >= 0x80) return false;  // ASCII only: no look-alike passes
    const char got = char(u);
    if (cs == Qt::CaseSensitive) return got == want;
    return QChar::toLower(char16_t(got)) == QChar::toLower(char16_t(want));
}

// One ASCII digit.
bool asciiDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

}  // namespace

UnitNumber ReadUnitNumber(const QString& text, const char* unit, const char* prefixes,
                          Qt::CaseSensitivity cs, UnitMode mode) {
    UnitNumber out;
    const bool reply = mode == UnitMode::Reply;
    if (reply && (text.contains('>') || text.contains('*') || text.contains('<'))) return out;
    int i = 0, e = reply ? int(TrimReply(text).size()) : int(text.size());
    if (reply && e > 0 && text[e - 1] == QLatin1Char('\r')) --e;
    while (i < e && text[i] == QLatin1Char(' ')) ++i;
    while (e > i && text[e - 1] == QLatin1Char(' ')) --e;
    QString number;
    if (i < e && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) number += text[i++];
    int digits = 0;
    while (i < e && asciiDigit(text[i])) number += text[i++], ++digits;
    if (i < e && text[i] == QLatin1Char('.')) {
        number += text[i++];
        while (i < e && asciiDigit(text[i])) number += text[i++], ++digits;
    }
    if (digits == 0) return out;
    if (i < e && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        number += text[i++];
        if (i < e && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) number += text[i++];
        int expDigits = 0;
        while (i < e && asciiDigit(text[i])) number += text[i++], ++expDigits;
        if (expDigits == 0) return out;
    }
    const int unitSize = int(std::strlen(unit));
    char prefix = 0;  // the prefix as listed (lower case)
    // A reply may hold blanks before its prefix letter.
    if (reply && unitSize > 0) {
        int j = i;
        while (j < e && (text[j] == QLatin1Char(' ') || text[j] == QLatin1Char('\t'))) ++j;
        if (j > i && e - j == unitSize + 1) i = j;
    }
    if (e - i == unitSize + 1) {
        for (const char* p = prefixes; *p && !prefix; ++p)
            if (sameLetter(text[i], *p, cs)) prefix = *p;
        if (!prefix) return out;
        out.prefix = char(text[i].unicode());
        ++i;
    }
    if (e - i != unitSize) return out;
    for (int k = 0; k < unitSize; ++k)
        if (!sameLetter(text[i + k], unit[k], cs)) return out;
    bool ok = false;
    const double v = number.toDouble(&ok);  // "." whatever the locale
    const auto beyondDouble = [&out, &number] {
        out = UnitNumber();
        out.tooLarge = true;
        out.value = (number.startsWith(QLatin1Char('-')) ? -1 : 1) * std::numeric_limits<double>::infinity();
        return out;
    };
    // The form is right: a conversion that failed is one out of range, beyond
    // the largest double (too large) or below the smallest (read as 0).
    if (!ok && std::isinf(v)) return beyondDouble();
    out.valid = true;
    out.number = ok ? v : 0.0;
    bool divide = false;
    const double f = prefixFactor(QChar(prefix), divide);
    out.value = divide ? v / f : v * f;
    if (!std::isfinite(out.value)) return beyondDouble();
    return out;
}

QString ExponentText(const UnitNumber& n) {
    if (!n.valid) return QString();
    QString out = FormatWithMask(n.number, "0.000###########");
    switch (QChar::toLower(char16_t(n.prefix))) {
    case 'm': out += "E-3"; break;
    case 'u': out += "E-6"; break;
    case 'n': out += "E-9"; break;
    case 'p': out += "E-12"; break;
    default: break;
    }
    return out;
}

// ---------------------------------------------------------------------------
// FormatWithMask

namespace {

struct MaskInfo {
    QString prefix, suffix;       // literal text around the number
    int intZeros = 0;             // "0" places before the point
    int intPlaces = 0;            // "0" and "#" places before the point
    int decZeros = 0;             // "0" places after the point
    int decPlaces = 0;            // "0" and "#" places after the point
    bool point = false;
    bool percent = false;
    bool scientific = false;
    bool expAlwaysSign = false;
    int expDigits = 0;
};

MaskInfo parseMask(const QString& mask) {
    MaskInfo m;
    bool seenDigit = false, afterPoint = false, inExp = false, done = false;
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (inExp) {
            if (c == '0') {
                ++m.expDigits;
                continue;
            }
            inExp = false;
            done = true;
        }
        if (!done && (c == '0' || c == '#')) {
            seenDigit = true;
            if (afterPoint) {
                ++m.decPlaces;
                if (c == '0') m.decZeros = m.decPlaces;
            } else {
                ++m.intPlaces;
                if (c == '0') ++m.intZeros;
            }
            continue;
        }
        if (!done && c == '.' && !afterPoint) {
            m.point = true;
            afterPoint = true;
            seenDigit = true;
            continue;
        }
        if (!done && seenDigit && (c == 'E' || c == 'e') && i + 1 < mask.size() &&
            (mask[i + 1] == '+' || mask[i + 1] == '-')) {
            m.scientific = true;
            m.expAlwaysSign = mask[i + 1] == '+';
            ++i;
            inExp = true;
            continue;
        }
        if (c == '%') m.percent = true;
        if (seenDigit) {
            done = true;
            m.suffix += c;
        } else {
            m.prefix += c;
        }
    }
    return m;
}

// The decimal digits of |v| taken with `sig` significant digits:
// value = 0.digits x 10^pointPos.
void decimalDigits(double v, int sig, std::string& digits, int& pointPos) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", sig - 1, std::fabs(v));
    const std::string s(buf);
    const size_t e = s.find('e');
    digits.clear();
    for (size_t i = 0; i < e; ++i)
        if (s[i] >= '0' && s[i] <= '9') digits += s[i];
    pointPos = std::stoi(s.substr(e + 1)) + 1;
}

// Rounds the digit string to `keep` digits, halves away from zero; a carry
// out of the top adds a digit in front and moves the point.
void roundDigits(std::string& digits, int& pointPos, int keep) {
    if (keep >= int(digits.size())) {
        digits.append(size_t(keep - int(digits.size())), '0');
        return;
    }
    const bool up = digits[size_t(keep)] >= '5';
    digits.resize(size_t(keep));
    if (!up) return;
    int i = keep - 1;
    while (i >= 0 && digits[size_t(i)] == '9') digits[size_t(i--)] = '0';
    if (i >= 0) {
        ++digits[size_t(i)];
    } else {
        digits.insert(digits.begin(), '1');
        ++pointPos;
    }
}

QString decimalSeparator(DecimalMark mark) {
    return mark == DecimalMark::Locale ? QLocale().decimalPoint() : QStringLiteral(".");
}

}  // namespace

QString FormatWithMask(double number, const QString& mask, Precision precision,
                       DecimalMark mark) {
    const MaskInfo m = parseMask(mask);
    double v = number;
    if (precision == Precision::Single) v = double(float(v));
    if (!std::isfinite(v)) return QString::number(v);
    const int sig = precision == Precision::Single ? 7 : 15;
    const bool negative = v < 0;

    std::string digits;
    int pointPos = 0;
    if (v == 0) {
        digits = "0";
        pointPos = 1;
    } else {
        decimalDigits(v, sig, digits, pointPos);
        if (m.percent) pointPos += 2;
    }

    QString intText, fracText, expText;
    if (m.scientific) {
        const int ip = std::max(1, m.intPlaces);
        int exponent = 0;
        if (v != 0) {
            exponent = pointPos - ip;
            pointPos = ip;
            roundDigits(digits, pointPos, ip + m.decPlaces);
            if (pointPos > ip) {  // the carry added a digit: one more decade
                ++exponent;
                pointPos = ip;
                digits.resize(size_t(ip + m.decPlaces));
            }
        } else {
            digits.assign(size_t(ip + m.decPlaces), '0');
            pointPos = ip;
        }
        intText = QString::fromStdString(digits.substr(0, size_t(pointPos)));
        fracText = QString::fromStdString(digits.substr(size_t(pointPos)));
        QString e = QString::number(std::abs(exponent));
        while (e.size() < m.expDigits) e.prepend('0');
        expText = "E" + QString(exponent < 0 ? "-" : (m.expAlwaysSign ? "+" : "")) + e;
    } else {
        if (pointPos < 1) {  // leading zeros so that the point has a digit before it
            digits.insert(0, size_t(1 - pointPos), '0');
            pointPos = 1;
        }
        roundDigits(digits, pointPos, pointPos + m.decPlaces);
        intText = QString::fromStdString(digits.substr(0, size_t(pointPos)));
        fracText = QString::fromStdString(digits.substr(size_t(pointPos)));
        int lead = 0;
        while (lead < intText.size() && intText[lead] == '0') ++lead;
        intText = intText.mid(lead);
        while (intText.size() < m.intZeros) intText.prepend('0');
    }
    while (fracText.size() > m.decZeros && fracText.endsWith('0')) fracText.chop(1);

    bool nonZero = false;
    for (QChar c : intText + fracText)
        if (c != '0') nonZero = true;

    QString out = m.prefix;
    if (negative && nonZero) out.prepend('-');
    out += intText;
    if (m.point && !fracText.isEmpty()) out += decimalSeparator(mark) + fracText;
    out += expText;
    out += m.suffix;
    return out;
}

// ---------------------------------------------------------------------------
// Unit parsers

namespace {

double prefixFactor(QChar p, bool& divide) {
    divide = false;
    switch (p.unicode()) {
    case 'G': return 1e9;
    case 'M': return 1e6;
    case 'k': return 1000.0;
    case 'm': divide = true; return 1000.0;
    case 'u': divide = true; return 1e6;
    case 'n': divide = true; return 1e9;
    case 'p': divide = true; return 1e12;
    default: return 1.0;
    }
}

// A reply or display text with its unit, through the one reader.
ParsedValue parseScaled(const QString& text, const char* unit, const char* prefixes) {
    const UnitNumber n = ReadUnitNumber(text, unit, prefixes, Qt::CaseSensitive, UnitMode::Reply);
    return n.valid ? ParsedValue{n.value, true} : ParsedValue{};
}

}  // namespace

ParsedValue ParsePercentChecked(const QString& text) {
    const ParsedValue p = parseScaled(text, "%", "");
    return p.valid ? ParsedValue{p.value / 100.0, true} : p;
}

ParsedValue ParseFrequencyChecked(const QString& text) { return parseScaled(text, "Hz", "GMkm"); }
ParsedValue ParseVoltChecked(const QString& text) { return parseScaled(text, "V", "kmunp"); }
ParsedValue ParseVolt2Checked(const QString& text) { return parseScaled(text, "V", "Mkmu"); }
ParsedValue ParseTimeChecked(const QString& text) { return parseScaled(text, "s", "munp"); }

QString ParseTimeToText(const QString& text) {
    return ExponentText(ReadUnitNumber(text, "s", "munp", Qt::CaseSensitive, UnitMode::Reply));
}
