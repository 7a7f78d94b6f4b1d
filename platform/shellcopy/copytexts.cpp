#include "platform/shellcopy/copytexts.h"

#include <cstring>

namespace shellcopy::texts {

namespace {

std::string quoted(const std::string& name)
{
    return "\u201E" + name + "\u201C";
}

std::string reason(int error)
{
    return std::strerror(error);
}

} // namespace

std::string cannotCopy(const std::string& name, int error)
{
    return quoted(name) + " kann nicht kopiert werden: " + reason(error);
}

std::string cannotCreateFolder(const std::string& folder, int error)
{
    return "Der Ordner " + quoted(folder) + " kann nicht erstellt werden: " + reason(error);
}

std::string cannotWrite(const std::string& target, int error)
{
    return quoted(target) + " kann nicht geschrieben werden: " + reason(error);
}

std::string intoItself(const std::string& name)
{
    return quoted(name) + " kann nicht kopiert werden: Der Zielordner ist ein Unterordner des "
                          "Quellordners.";
}

std::string ontoItself(const std::string& name)
{
    return quoted(name) + " kann nicht kopiert werden: Quelle und Ziel sind dieselbe Datei.";
}

std::string badRequest()
{
    return "Der Kopiervorgang kann nicht ausgef\u00FChrt werden: Quelle oder Ziel fehlt.";
}

} // namespace shellcopy::texts
