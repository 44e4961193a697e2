// The program's message boxes answered by the test: for the object's lifetime, MessageBoxW
// shows nothing, records what each box said, and returns the given answers in turn. A box
// beyond the answers fails the test and is answered IDCANCEL.
#pragma once

#include "tests/dialogs/import_patch.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

struct shown_prompt {
    std::wstring text;
    std::wstring title;
    UINT buttons;
};

class answered_prompts {
public:
    explicit answered_prompts(std::vector<int> answers = {}) : answers_(std::move(answers))
    {
        current() = this;
        EXPECT_TRUE(patch_.active());
    }
    ~answered_prompts() { current() = nullptr; }
    answered_prompts(const answered_prompts&) = delete;
    answered_prompts& operator=(const answered_prompts&) = delete;

    void answer_next(std::vector<int> answers)
    {
        answers_ = std::move(answers);
        next_ = 0;
    }

    std::vector<shown_prompt> shown;

private:
    static int WINAPI message_box(HWND, LPCWSTR text, LPCWSTR title, UINT buttons)
    {
        answered_prompts& self = *current();
        self.shown.push_back({text ? text : L"", title ? title : L"", buttons});
        if (self.next_ >= self.answers_.size()) {
            ADD_FAILURE() << "a message box nobody answers";
            return IDCANCEL;
        }
        return self.answers_[self.next_++];
    }
    static answered_prompts*& current()
    {
        static answered_prompts* instance = nullptr;
        return instance;
    }

    std::vector<int> answers_;
    std::size_t next_ = 0;
    import_patch patch_{"user32.dll", "MessageBoxW", &message_box};
};
