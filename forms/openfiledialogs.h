#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace forms {

// What an open-file dialog is shown with.
struct OpenFileRequest {
    struct Filter {
        QString description;
        QString pattern; // as the definition writes it: "*.*" stands for every file
        bool operator==(const Filter&) const = default;
    };
    QString fileName;      // the initial name, already cut to the longest a name may be
    QList<Filter> filters; // in order; the first is selected
    QString title;         // empty: the dialog's own
    bool showReadOnly = true;
    bool readOnly = false; // the read-only box starts ticked
};

// What the user confirmed.
struct OpenFileAnswer {
    QString fileName; // full path; the file need not exist
    bool readOnly = false;
};

// The open-file dialog of the class library, behind an interface so that tests can answer it
// from a script instead of blocking on a modal dialog.
class OpenFileDialogs {
public:
    virtual ~OpenFileDialogs() = default;

    // Modal for the whole application; nothing when the user cancels.
    virtual std::optional<OpenFileAnswer> run(const OpenFileRequest& request) = 0;
};

} // namespace forms
