#include "platform/shellcopy/shellfileoperation.h"

#include "platform/shellcopy/qtcopydialogs.h"
#include "platform/shellcopy/shellcopy.h"

namespace shellcopy {

namespace {

ShellFileOperation* installed = nullptr;

} // namespace

ShellFileOperation& ShellFileOperation::current()
{
    if (installed)
        return *installed;
    static QtCopyDialogs dialogs;
    static ShellCopy real(dialogs);
    return real;
}

void ShellFileOperation::setCurrent(ShellFileOperation* operation)
{
    installed = operation;
}

} // namespace shellcopy
