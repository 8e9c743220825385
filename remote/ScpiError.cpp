#include "ScpiError.h"

#include <iterator>

namespace {
struct StandardText {
    int code;
    const char* text;
};

const StandardText kTexts[] = {
    {ScpiError::NoError, "No error"},
    {ScpiError::CommandError, "Command error"},
    {ScpiError::InvalidCharacter, "Invalid character"},
    {ScpiError::SyntaxError, "Syntax error"},
    {ScpiError::InvalidSeparator, "Invalid separator"},
    {ScpiError::DataTypeError, "Data type error"},
    {ScpiError::ParameterNotAllowed, "Parameter not allowed"},
    {ScpiError::MissingParameter, "Missing parameter"},
    {ScpiError::HeaderSeparatorError, "Header separator error"},
    {ScpiError::MnemonicTooLong, "Program mnemonic too long"},
    {ScpiError::UndefinedHeader, "Undefined header"},
    {ScpiError::HeaderSuffixOutOfRange, "Header suffix out of range"},
    {ScpiError::NumericDataError, "Numeric data error"},
    {ScpiError::InvalidSuffix, "Invalid suffix"},
    {ScpiError::SuffixNotAllowed, "Suffix not allowed"},
    {ScpiError::CharacterDataTooLong, "Character data too long"},
    {ScpiError::InvalidStringData, "Invalid string data"},
    {ScpiError::ExecutionError, "Execution error"},
    {ScpiError::CommandProtected, "Command protected"},
    {ScpiError::DataOutOfRange, "Data out of range"},
    {ScpiError::DeviceError, "Device-specific error"},
    {ScpiError::QueueOverflow, "Queue overflow"},
    {ScpiError::InputBufferOverrun, "Input buffer overrun"},
    {ScpiError::QueryError, "Query error"},
    {ScpiError::QueryInterrupted, "Query INTERRUPTED"},
    {ScpiError::QueryUnterminated, "Query UNTERMINATED"},
};
} // namespace

QByteArray ScpiError::standardText(int code) {
    for (const StandardText& entry : kTexts) {
        if (entry.code == code)
            return entry.text;
    }
    return standardText(code <= -100 && code > -500 ? code / 100 * 100 : ExecutionError);
}

ScpiError ScpiError::standard(int code, const QByteArray& info) {
    QByteArray text = standardText(code);
    if (!info.isEmpty())
        text += ';' + info;
    return ScpiError(code, text);
}

ScpiError::Class ScpiError::errorClass() const {
    if (code_ == 0)
        return Class::None;
    if (code_ <= -100 && code_ > -200)
        return Class::Command;
    if (code_ <= -200 && code_ > -300)
        return Class::Execution;
    if (code_ <= -300 && code_ > -400)
        return Class::Device;
    if (code_ <= -400 && code_ > -500)
        return Class::Query;
    // Positive numbers are the device's own errors.
    return code_ > 0 ? Class::Device : Class::Other;
}

QByteArray ScpiError::toResponse() const {
    QByteArray quoted = text_;
    quoted.replace('"', "\"\"");
    return QByteArray::number(code_) + ",\"" + quoted + '"';
}
