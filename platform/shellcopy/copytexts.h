#pragma once

#include <string>

// The copy's texts, in the platform's language. Names are shown in German quotation marks and
// the system's reason is kept as the system gives it.
namespace shellcopy::texts {

std::string cannotCopy(const std::string& name, int error);
std::string cannotCreateFolder(const std::string& folder, int error);
std::string cannotWrite(const std::string& target, int error);
std::string intoItself(const std::string& name);
std::string ontoItself(const std::string& name);
std::string badRequest();

} // namespace shellcopy::texts
