// One entry of a SCPI error queue: the number and the text, as
// SYSTem:ERRor? reports them. Code 0 is "No error".
#ifndef SFP_SCPIERROR_H
#define SFP_SCPIERROR_H

#include <QByteArray>

class ScpiError {
public:
    // The standard numbers this server raises; texts live in ScpiError.cpp.
    enum Code {
        NoError = 0,
        CommandError = -100,
        InvalidCharacter = -101,
        SyntaxError = -102,
        InvalidSeparator = -103,
        DataTypeError = -104,
        ParameterNotAllowed = -108,
        MissingParameter = -109,
        HeaderSeparatorError = -111,
        MnemonicTooLong = -112,
        UndefinedHeader = -113,
        HeaderSuffixOutOfRange = -114,
        NumericDataError = -120,
        InvalidSuffix = -131,
        CharacterDataTooLong = -144,
        SuffixNotAllowed = -138,
        InvalidStringData = -151,
        ExecutionError = -200,
        CommandProtected = -203,
        DataOutOfRange = -222,
        DeviceError = -300,
        QueueOverflow = -350,
        InputBufferOverrun = -363,
        QueryError = -400,
        QueryInterrupted = -410,
        QueryUnterminated = -420,
    };
    // Which bit of the event status register an error sets.
    enum class Class { None, Command, Execution, Device, Query, Other };

    ScpiError() = default;
    ScpiError(int code, const QByteArray& text) : code_(code), text_(text) {}

    // A standard error with its standard text; `info` is appended after a
    // semicolon, as SCPI's device-dependent information.
    static ScpiError standard(int code, const QByteArray& info = {});
    static QByteArray standardText(int code);

    int code() const { return code_; }
    const QByteArray& text() const { return text_; }
    bool isError() const { return code_ != 0; }
    Class errorClass() const;
    // <number>,"<text>" with embedded double quotes doubled.
    QByteArray toResponse() const;

private:
    int code_ = 0;
    QByteArray text_ = QByteArrayLiteral("No error"); // static data: no allocation
};

#endif
