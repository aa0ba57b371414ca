#pragma once
// Exceptions of the framework and the libraries: each carries an English
// (or code page 936) message that the application's default error dialog shows.

#include <exception>

#include "framework/Types.h"

class Exception : public std::exception {
public:
    explicit Exception(String message) : Message(std::move(message)) {}
    ~Exception() override = default;
    const char* what() const noexcept override { return Message.c_str(); }
    virtual String ClassName() const { return "Exception"; }

    String Message;
};

// Declares an exception class with the given parent and the constructor of Exception.
#define FRAMEWORK_EXCEPTION(Name, Parent)                         \
    class Name : public Parent {                                  \
    public:                                                       \
        using Parent::Parent;                                     \
        String ClassName() const override { return #Name; }       \
    }

FRAMEWORK_EXCEPTION(EConvertError, Exception);
FRAMEWORK_EXCEPTION(EListError, Exception);
FRAMEWORK_EXCEPTION(EStreamError, Exception);
FRAMEWORK_EXCEPTION(EFOpenError, EStreamError);
FRAMEWORK_EXCEPTION(EFCreateError, EStreamError);
FRAMEWORK_EXCEPTION(EReadError, EStreamError);
FRAMEWORK_EXCEPTION(EWriteError, EStreamError);
FRAMEWORK_EXCEPTION(EIniFileException, Exception);
FRAMEWORK_EXCEPTION(EComponentError, Exception);
FRAMEWORK_EXCEPTION(EOSError, Exception);
FRAMEWORK_EXCEPTION(EInvalidOperation, Exception);
FRAMEWORK_EXCEPTION(EThread, Exception);

