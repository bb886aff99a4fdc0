// Comment text between the bytes that files hold and the Unicode the panes
// show. Valid UTF-8 is read as UTF-8, anything else as Shift-JIS (Windows code
// page 932), unless the user chose one encoding for good.
#pragma once

#include <optional>
#include <QByteArray>
#include <QString>

namespace tessane {

enum class TextEncoding { ShiftJis, Utf8 };
// The user's choice, stored in the settings file as 0, 1 or 2.
enum class EncodingChoice { Automatic = 0, ShiftJis = 1, Utf8 = 2 };

EncodingChoice EncodingChoiceFromSetting(int value);

struct DecodedText {
    QString text;            // line breaks as '\n'
    TextEncoding encoding;   // the encoding edited text is written back in
    bool lossless = true;    // false when some bytes were not valid in it
};

// The encoding bytes are read in under choice.
TextEncoding DetectEncoding(const QByteArray& bytes, EncodingChoice choice);
// Decodes bytes; CR LF and lone CR become '\n'. Invalid bytes show as U+FFFD.
DecodedText DecodeComment(const QByteArray& bytes, EncodingChoice choice);
// Bytes up to the first zero byte: a zero byte ends a text file's text.
QByteArray CutAtZeroByte(const QByteArray& bytes);

struct EncodedText {
    QByteArray bytes;     // line breaks as CR LF
    QString unencodable;  // the first character the encoding cannot hold, empty when all fit
};
EncodedText EncodeComment(const QString& text, TextEncoding encoding);

// The text with every line break (CR LF, CR, LF) as '\n'.
QString NormaliseLineBreaks(const QString& text);

} // namespace tessane
