#pragma once

#include <QString>

namespace forms {

// The title a program has when it sets none: its file name without directory, cut at the first
// ".", every character after the first lower-cased ("/usr/bin/SONDREL.bin" gives "Sondrel").
QString titleFromFileName(const QString& path);

// The file the running program was started from, with links resolved, so that a link with
// another name (or a changed argv[0]) does not change the title. Falls back to argv0 when the
// system cannot say.
QString runningExecutable(const char* argv0);

} // namespace forms
