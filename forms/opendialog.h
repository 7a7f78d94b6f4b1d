#pragma once

#include "forms/component.h"

#include <QString>

namespace forms {

// The open-file dialog component: its settings live here between runs.
class TOpenDialog : public TComponent {
public:
    enum Option : unsigned {
        ofReadOnly = 1u << 0,
        ofHideReadOnly = 1u << 2,
        ofFileMustExist = 1u << 12,
    };

    explicit TOpenDialog(TComponent* owner);

    const QString& fileName() const { return fileName_; }
    void setFileName(const QString& name) { fileName_ = name; }
    const QString& filter() const { return filter_; }
    void setFilter(const QString& filter) { filter_ = filter; }
    const QString& title() const { return title_; }
    void setTitle(const QString& title) { title_ = title; }
    unsigned options() const { return options_; }
    void setOptions(unsigned options) { options_ = options; }

    // Shows the dialog, modal, through the application's open-file dialogs. On confirmation the
    // file name becomes the full path chosen and ofReadOnly the state of the read-only box;
    // on cancel nothing changes.
    bool execute();

    // The longest file name the dialog takes, in characters.
    static constexpr int MaxPath = 260;

private:
    QString fileName_;
    QString filter_;
    QString title_;
    unsigned options_ = 0;
};

} // namespace forms
