// The program's message boxes answered by the test: for the object's lifetime MessageBoxW
// shows nothing, records each box, and returns the answers given, in turn. A box beyond
// them fails the test and is answered IDCANCEL.
#pragma once

#include "tests/dialogs/import_patch.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

struct shown_prompt {
    std::wstring text, title;
    UINT buttons;
};

class answered_prompts {
public:
    explicit answered_prompts(std::vector<int> answers = {})
    {
        shown.clear();
        answer_next(std::move(answers));
        EXPECT_TRUE(patch_.active());
    }
    void answer_next(std::vector<int> answers) { answers_ = std::move(answers), next_ = 0; }
    static inline std::vector<shown_prompt> shown;

private:
    static inline std::vector<int> answers_;
    static inline std::size_t next_ = 0;
    static int WINAPI message_box(HWND, LPCWSTR text, LPCWSTR title, UINT buttons)
    {
        shown.push_back({text ? text : L"", title ? title : L"", buttons});
        EXPECT_LT(next_, answers_.size()) << "a message box nobody answers";
        return next_ < answers_.size() ? answers_[next_++] : IDCANCEL;
    }
    import_patch patch_{"user32.dll", "MessageBoxW", &message_box};
};
