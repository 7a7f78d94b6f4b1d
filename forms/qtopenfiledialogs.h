#pragma once

#include "forms/openfiledialogs.h"

#include <QPoint>
#include <QSize>

#include <memory>

class QCheckBox;
class QFileDialog;

namespace forms {

// Our own open-file dialog from Qt's widgets (never the desktop's), so that it looks and acts
// the same everywhere: an edit for the name, the filters, and the read-only check box.
class QtOpenFileDialogs final : public OpenFileDialogs {
public:
    std::optional<OpenFileAnswer> run(const OpenFileRequest& request) override;

    // The dialog, set up but not shown; readOnlyBox receives its read-only check box.
    static std::unique_ptr<QFileDialog> build(const OpenFileRequest& request,
                                              QCheckBox** readOnlyBox);
    // Centred across the screen and a third of the free height down from its top.
    static QPoint placement(const QSize& screen, const QSize& dialog);
    // The pattern as Qt matches it: "*.*" (every file, on the platform the definitions come
    // from) is "*" here.
    static QString qtPattern(const QString& pattern);
};

} // namespace forms
