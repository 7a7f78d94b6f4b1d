#pragma once

#include "platform/shellcopy/fileoperationrequest.h"

namespace shellcopy {

// The shell's file operation: carries out a request with its own dialogs and returns when it is
// over. The result is 0 when everything went through.
class ShellFileOperation {
public:
    virtual ~ShellFileOperation() = default;
    virtual int perform(FileOperationRequest& request) = 0;

    // The operation the program uses: the real one unless a test installed its own.
    static ShellFileOperation& current();
    // nullptr puts the real one back.
    static void setCurrent(ShellFileOperation* operation);
};

} // namespace shellcopy
