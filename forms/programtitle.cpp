#include "forms/programtitle.h"

#include <QFile>

#include <filesystem>
#include <system_error>

namespace forms {

QString titleFromFileName(const QString& path)
{
    QString name = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.indexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
    return name;
}

QString runningExecutable(const char* argv0)
{
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && !exe.empty())
        return QFile::decodeName(exe.native().c_str());
    return argv0 ? QFile::decodeName(argv0) : QString();
}

} // namespace forms
