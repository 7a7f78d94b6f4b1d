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
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void cancel() { answers.push_back(std::nullopt); }
    void confirm(const QString& fileName, bool readOnly = false)
    {
        answers.push_back(forms::OpenFileAnswer{fileName, readOnly});
    }

    std::deque<std::optional<forms::OpenFileAnswer>> answers;
    std::vector<forms::OpenFileRequest> shown;
};
