// The framework's exception class and the subclasses the program meets.
//
// "Catches the framework's exception class" is `catch (Exception&)`; every
// subclass below is caught by it. `Message` is the framework's text (UTF-16);
// what() gives it in UTF-8 for the host (logs of tests, std::terminate).
// The family lives in one header: the classes are one-liners that differ only
// in their name.
#pragma once

#include "platform/rtl/UnicodeString.h"

#include <cstdint>
#include <exception>
#include <string>

namespace rtl {

class Exception : public std::exception {
public:
    explicit Exception(const UnicodeString& message);
    explicit Exception(const char16_t* message) : Exception(UnicodeString(message)) {}
    // Format-style construction: Exception(u"'%s' is not valid", text).
    template <class... Args>
    requires(sizeof...(Args) > 0) Exception(const char16_t* format, const Args&... args)
        : Message(UnicodeString().sprintf(format, args...))
    {
    }
    Exception(const Exception&) = default;
    Exception& operator=(const Exception&) = default;
    ~Exception() override;

    // The message in UTF-8 (built from Message at each call).
    const char* what() const noexcept override;

    UnicodeString Message;

private:
    mutable std::string what_;
};

#define VM_RTL_EXCEPTION(Name, Base)                                                                                   \
    class Name : public Base {                                                                                         \
    public:                                                                                                            \
        using Base::Base;                                                                                              \
    }

VM_RTL_EXCEPTION(EConvertError, Exception); // text -> number / date conversions
VM_RTL_EXCEPTION(EListError, Exception); // string list index
VM_RTL_EXCEPTION(ERangeError, Exception); // string index
VM_RTL_EXCEPTION(EStreamError, Exception);
VM_RTL_EXCEPTION(EFileStreamError, EStreamError);
VM_RTL_EXCEPTION(EFOpenError, EFileStreamError); // file stream cannot open
VM_RTL_EXCEPTION(EFCreateError, EFileStreamError); // file stream cannot create
VM_RTL_EXCEPTION(EReadError, EStreamError); // ReadBuffer short read
VM_RTL_EXCEPTION(EWriteError, EStreamError); // WriteBuffer short write
VM_RTL_EXCEPTION(EIniFileException, Exception); // INI write failed
VM_RTL_EXCEPTION(EResNotFound, Exception); // resource not found
VM_RTL_EXCEPTION(ERegistryException, Exception); // registry write refused
VM_RTL_EXCEPTION(EInvalidOperation, Exception); // e.g. ShowModal on a visible form
VM_RTL_EXCEPTION(EInvalidPointer, Exception);
VM_RTL_EXCEPTION(EPrinter, Exception); // printer failures
VM_RTL_EXCEPTION(EOutOfResources, Exception);
VM_RTL_EXCEPTION(EOSError, Exception); // a failed system call
VM_RTL_EXCEPTION(EMathError, Exception);
VM_RTL_EXCEPTION(EInvalidOp, EMathError); // e.g. Round of a value beyond 64 bits
VM_RTL_EXCEPTION(EAbort, Exception); // the framework's silent exception

#undef VM_RTL_EXCEPTION

// Raises EAbort, the framework's silent exception ("Operation aborted").
[[noreturn]] void Abort();

// The system's text for a Win32 error code, as a Japanese system words it
// ("指定されたファイルが見つかりません。" for 2); unknown codes give
// "不明なエラー (n)".
UnicodeString SysErrorMessage(std::uint32_t code);

} // namespace rtl
