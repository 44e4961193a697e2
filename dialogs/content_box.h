// Box 1003 of the configuration page: the whole of debug.cfg as text, written back by
// "写入" (or Ctrl+S in the box, as in Notepad). Text the user typed and has not written
// is never replaced or dropped without asking.
#pragma once

#include <windows.h>

#include <string>

class content_box {
public:
    // Takes over box 1003 of `page`.
    void attach(HWND page);

    // True while the box holds text the user typed that differs from what it was filled with.
    bool edited() const;
    // Fills the box from the file at `path`, unless it is edited.
    void show_file(const std::wstring& path);
    // "写入" for an edited box: makes the file hold the box's text, asking first where the
    // file changed since the box was filled. True when it does; false, after telling the
    // user why, when nothing was written: the box keeps the text.
    bool write(const std::wstring& path);
    // Before the page leaves the file (another OEM folder, closing): for an edited box,
    // asks whether to write it. True to go on ("是" and written, or "否": the text is
    // dropped and the next fill replaces it); false to stay.
    bool may_leave(const std::wstring& path);

private:
    HWND page_ = nullptr;
    // The bytes the box was last filled from, and the text it was filled with.
    std::string bytes_;
    std::wstring shown_;

    HWND box() const;
};
