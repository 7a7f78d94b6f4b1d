#include "forms/opendialog.h"

#include "forms/application.h"
#include "forms/openfiledialogs.h"

#include <QFileInfo>

namespace forms {

TOpenDialog::TOpenDialog(TComponent* owner)
    : TComponent(owner)
{}

bool TOpenDialog::execute()
{
    OpenFileRequest request;
    request.fileName = fileName_.left(MaxPath);
    // "description|pattern|description|pattern..."
    const QStringList parts = filter_.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        request.filters.push_back({parts[i], parts[i + 1]});
    request.title = title_;
    request.showReadOnly = !(options_ & ofHideReadOnly);
    request.readOnly = options_ & ofReadOnly;

    const std::optional<OpenFileAnswer> answer = Application->openFileDialogs().run(request);
    if (!answer)
        return false;
    fileName_ = QFileInfo(answer->fileName).absoluteFilePath();
    options_ = answer->readOnly ? options_ | ofReadOnly : options_ & ~unsigned(ofReadOnly);
    return true;
}

} // namespace forms
