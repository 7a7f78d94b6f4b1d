#pragma once

#include "forms/openfiledialogs.h"

#include <deque>
#include <optional>
#include <vector>

// Answers open-file dialogs from a script instead of showing them, and records what each was
// shown with. With the script used up, the dialog is cancelled.
class ScriptedOpenFileDialogs final : public forms::OpenFileDialogs {
public:
    std::optional<forms::OpenFileAnswer> run(const forms::OpenFileRequest& request) override
    {
        shown.push_back(request);
        if (answers.empty())
            return std::nullopt;
        const Answer next = answers.front();
        answers.pop_front();
        if (!next.confirmed)
            return std::nullopt;
        return forms::OpenFileAnswer{next.fileName, next.readOnly};
    }

    void cancel() { answers.push_back({false, {}, false}); }
    void confirm(const QString& fileName, bool readOnly = false)
    {
        answers.push_back({true, fileName, readOnly});
    }

    struct Answer {
        bool confirmed;
        QString fileName;
        bool readOnly;
    };
    std::deque<Answer> answers;
    std::vector<forms::OpenFileRequest> shown;
};
