// The program's exception kinds. They live here, below every other library, because the
// loan formulas raise the math errors and everything above them reports them.
#pragma once

#include <stdexcept>
#include <string>

namespace calc {

// Base of every error the program raises on purpose; what() is the text shown to the user.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A floating-point fault met by a formula: the result of the calculation does not exist.
class EMathError : public Exception {
public:
    using Exception::Exception;
};

// Invalid operation: the logarithm of zero or of a negative number, 0/0, a NaN met on the way,
// or a solver that cannot converge.
class EInvalidOp : public EMathError {
public:
    EInvalidOp() : EMathError("Invalid floating point operation") {}
    using EMathError::EMathError;
};

// A non-zero number divided by zero.
class EZeroDivide : public EMathError {
public:
    EZeroDivide() : EMathError("Floating point division by zero") {}
    using EMathError::EMathError;
};

// A result too large for a double.
class EOverflow : public EMathError {
public:
    EOverflow() : EMathError("Floating point overflow") {}
    using EMathError::EMathError;
};

// A text that is not a number where a number was expected.
class EConvertError : public Exception {
public:
    using Exception::Exception;
    // The message of a text that does not parse as a floating-point number.
    static EConvertError invalidFloat(const std::string& text)
    {
        return EConvertError("'" + text + "' is not a valid floating point value");
    }
    // The message of a text that does not denote a 32-bit integer.
    static EConvertError invalidInteger(const std::string& text)
    {
        return EConvertError("'" + text + "' is not a valid integer value");
    }
};

// The silent abort: unwinds an operation without any message.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
    using Exception::Exception;
};

} // namespace calc

namespace calc {

// A number outside the range an operation accepts; what() says which value and its range.
class ERangeError : public Exception {
public:
    using Exception::Exception;
};

} // namespace calc
