#include "comment_codec.h"

#include <cerrno>
#include <iconv.h>

#include <QStringDecoder>

namespace tessane {

namespace {

constexpr const char* kShiftJisName = "CP932"; // Windows' Shift-JIS, with its extensions

// One iconv conversion, closed on every path.
class CIconv {
public:
    CIconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~CIconv() {
        if (Valid())
            iconv_close(cd_);
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;
    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    // Converts as much of [in, in + inLeft) as it can; returns errno on a stop, 0 at the end.
    int Convert(const char*& in, size_t& inLeft, QByteArray& out) {
        char buffer[4096];
        while (inLeft > 0) {
            char* inPtr = const_cast<char*>(in);
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            const size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<qsizetype>(outPtr - buffer));
            in = inPtr;
            if (r == static_cast<size_t>(-1) && errno != E2BIG)
                return errno;
        }
        return 0;
    }

private:
    iconv_t cd_;
};

bool IsValidUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes); // the decoding runs on conversion
    return !decoder.hasError();
}

// Shift-JIS to UTF-8; an invalid or cut-off byte shows as U+FFFD and is skipped.
DecodedText DecodeShiftJis(const QByteArray& bytes) {
    DecodedText result{QString(), TextEncoding::ShiftJis, true};
    CIconv converter("UTF-8", kShiftJisName);
    if (!converter.Valid()) {
        result.text = QString::fromLatin1(bytes);
        result.lossless = false;
        return result;
    }
    QByteArray utf8;
    const char* in = bytes.constData();
    size_t left = static_cast<size_t>(bytes.size());
    while (converter.Convert(in, left, utf8) != 0) {
        utf8.append("\xEF\xBF\xBD"); // U+FFFD
        result.lossless = false;
        ++in;
        --left;
    }
    result.text = QString::fromUtf8(utf8);
    return result;
}

} // namespace

EncodingChoice EncodingChoiceFromSetting(int value) {
    switch (value) {
    case 1:
        return EncodingChoice::ShiftJis;
    case 2:
        return EncodingChoice::Utf8;
    default:
        return EncodingChoice::Automatic;
    }
}

TextEncoding DetectEncoding(const QByteArray& bytes, EncodingChoice choice) {
    switch (choice) {
    case EncodingChoice::ShiftJis:
        return TextEncoding::ShiftJis;
    case EncodingChoice::Utf8:
        return TextEncoding::Utf8;
    case EncodingChoice::Automatic:
        break;
    }
    return IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::ShiftJis;
}

QString NormaliseLineBreaks(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

DecodedText DecodeComment(const QByteArray& bytes, EncodingChoice choice) {
    DecodedText result;
    if (DetectEncoding(bytes, choice) == TextEncoding::ShiftJis) {
        result = DecodeShiftJis(bytes);
    } else {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        result.text = QString(decoder.decode(bytes));
        result.encoding = TextEncoding::Utf8;
        result.lossless = !decoder.hasError();
    }
    result.text = NormaliseLineBreaks(result.text);
    return result;
}

QByteArray CutAtZeroByte(const QByteArray& bytes) {
    const qsizetype zero = bytes.indexOf('\0');
    return zero < 0 ? bytes : bytes.left(zero);
}

EncodedText EncodeComment(const QString& text, TextEncoding encoding) {
    const QString crlf = NormaliseLineBreaks(text).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    EncodedText result;
    if (encoding == TextEncoding::Utf8) {
        result.bytes = crlf.toUtf8();
        return result;
    }
    // Convert one character at a time so the first one that cannot be held
    // can be named to the user.
    CIconv converter(kShiftJisName, "UTF-8");
    if (!converter.Valid()) {
        result.unencodable = crlf.left(1);
        return result;
    }
    for (qsizetype i = 0; i < crlf.size();) {
        const qsizetype length = crlf.at(i).isHighSurrogate() && i + 1 < crlf.size() ? 2 : 1;
        const QString character = crlf.mid(i, length);
        const QByteArray utf8 = character.toUtf8();
        const char* in = utf8.constData();
        size_t left = static_cast<size_t>(utf8.size());
        QByteArray out;
        if (converter.Convert(in, left, out) != 0) {
            result.unencodable = character;
            result.bytes.clear();
            return result;
        }
        result.bytes.append(out);
        i += length;
    }
    return result;
}

} // namespace tessane
